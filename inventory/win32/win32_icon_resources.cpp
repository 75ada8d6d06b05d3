#include "inventory/win32/win32_icon_resources.h"

namespace runlens {
namespace {

// RT_ICON and RT_GROUP_ICON as the wide calls take them.
const LPCWSTR kIconType = MAKEINTRESOURCEW(3);
const LPCWSTR kGroupType = MAKEINTRESOURCEW(14);

std::optional<ResourceBytes> ResourceData(HMODULE module, HRSRC found) {
    if (!found)
        return std::nullopt;
    const DWORD size = ::SizeofResource(module, found);
    const HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return std::nullopt;
    return ResourceBytes(static_cast<const std::uint8_t*>(data), size);
}

struct Collected {
    std::vector<ResourceBytes> groups;
    bool failed = false;
};

// A group that cannot be read is given as empty, which the check refuses.
BOOL CALLBACK CollectGroup(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR context) noexcept {
    auto& collected = *reinterpret_cast<Collected*>(context);
    try {
        const auto data = ResourceData(module, ::FindResourceW(module, name, kGroupType));
        collected.groups.push_back(data.value_or(ResourceBytes()));
        return TRUE;
    } catch (...) {
        collected.failed = true;
        return FALSE;
    }
}

}  // namespace

Win32IconResources::Win32IconResources(const std::wstring& path) {
    // Mapped as a plain file: its sections are not laid out, and the resource calls find their
    // way through the section table.
    module_ = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

Win32IconResources::~Win32IconResources() {
    if (module_)
        ::FreeLibrary(module_);
}

std::vector<ResourceBytes> Win32IconResources::Groups() {
    Collected collected;
    // A file without icon groups ends the enumeration at once, with an error that says so.
    ::EnumResourceNamesW(module_, kGroupType, &CollectGroup,
                         reinterpret_cast<LONG_PTR>(&collected));
    // Groups that were never seen are refused with the one that could not be kept.
    if (collected.failed)
        collected.groups.emplace_back();
    return std::move(collected.groups);
}

std::optional<ResourceBytes> Win32IconResources::Icon(std::uint16_t id) {
    return ResourceData(module_, ::FindResourceW(module_, MAKEINTRESOURCEW(id), kIconType));
}

bool FileIconsAreSound(const std::wstring& path) {
    Win32IconResources resources(path);
    return resources.Opened() && AreIconResourcesSound(resources);
}

}  // namespace runlens
