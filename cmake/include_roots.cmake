# Every include of the project names the header from the project's root ("core/text_rules.h").
# A target does not get the root itself on its include path, which would show it every folder:
# each library has an include root of its own in the build folder, holding links to the headers
# of its one source folder under that folder's path, and passes it on to what links the library.
# A header of a library a target does not link is then not found, and an include against the
# direction of the links fails to compile.
#
# runlens_include_root(TARGET [FOLDER]) gives TARGET the headers of FOLDER (relative to the
# calling CMakeLists.txt; by default its own folder). The root is returned in
# RUNLENS_INCLUDE_ROOT, for headers generated into it.
function(runlens_include_root target)
    set(source ${CMAKE_CURRENT_SOURCE_DIR})
    if(ARGC GREATER 1)
        set(source ${CMAKE_CURRENT_SOURCE_DIR}/${ARGV1})
    endif()
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${source})
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    file(MAKE_DIRECTORY ${root}/${folder})
    # Links of headers since removed go; generated headers are files and stay.
    file(GLOB entries ${root}/${folder}/*.h)
    foreach(entry ${entries})
        if(IS_SYMLINK ${entry})
            file(REMOVE ${entry})
        endif()
    endforeach()
    # A header added later configures the build again, and gets its link then.
    file(GLOB headers CONFIGURE_DEPENDS ${source}/*.h)
    foreach(header ${headers})
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()

    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
    set(RUNLENS_INCLUDE_ROOT ${root} PARENT_SCOPE)
endfunction()
