// Counts of what a process holds of the system's objects, for leak tests.
//
// Wine answers GetProcessHandleCount and GetGuiResources with 0, so where they do the counts are
// taken by probing: kernel handles are given out lowest-free-first, so a leak shows within the
// first few thousand handle values; GDI handles are found by their table index alone (the
// generation in the upper word may be left out). Wine keeps an icon's pictures as GDI bitmaps,
// so a leaked icon shows in the GDI count there.
#pragma once

#include <windows.h>

#include <ostream>

namespace runlens::testing {

struct ResourceCounts {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    bool operator==(const ResourceCounts&) const = default;
};

inline ResourceCounts CurrentResourceCounts() {
    const HANDLE self = ::GetCurrentProcess();
    ResourceCounts counts;
    if (!::GetProcessHandleCount(self, &counts.handles) || counts.handles == 0) {
        DWORD flags = 0;
        counts.handles = 0;
        for (ULONG_PTR value = 4; value < 0x2000; value += 4) {
            if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
                ++counts.handles;
        }
    }
    counts.gdiObjects = ::GetGuiResources(self, GR_GDIOBJECTS);
    if (counts.gdiObjects == 0) {
        for (ULONG_PTR value = 1; value < 0x10000; ++value) {
            if (::GetObjectType(reinterpret_cast<HGDIOBJ>(value)))
                ++counts.gdiObjects;
        }
    }
    counts.userObjects = ::GetGuiResources(self, GR_USEROBJECTS);
    return counts;
}

inline std::ostream& operator<<(std::ostream& out, const ResourceCounts& c) {
    return out << c.handles << " handles, " << c.gdiObjects << " GDI, " << c.userObjects << " USER";
}

}  // namespace runlens::testing
