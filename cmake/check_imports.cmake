# Fails when a program file imports a library outside the allowed list: every library that is
# not one of those Windows always maps from its system folder would be taken from the program's
# own folder first, before any of the program's code could say otherwise.
# Usage: cmake -DOBJDUMP=... -DFILE=... "-DALLOWED=a.dll;b.dll" -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "check_imports: cannot read the import table of ${FILE}")
endif()
string(TOLOWER "${ALLOWED}" allowed)
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
if(NOT names)
    message(FATAL_ERROR "check_imports: ${FILE} imports nothing, which no program file does")
endif()
set(refused)
foreach(entry ${names})
    string(REGEX REPLACE "DLL Name: *" "" name "${entry}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" lower)
    if(NOT lower IN_LIST allowed)
        list(APPEND refused ${name})
    endif()
endforeach()
if(refused)
    list(JOIN refused ", " refused)
    message(FATAL_ERROR "check_imports: ${FILE} imports ${refused}, which Windows may take from "
                        "the program's folder: load it through core/win32/dynamic_functions.h")
endif()
