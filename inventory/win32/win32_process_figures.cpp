#include "inventory/win32/win32_process_figures.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace runlens {
namespace {

constexpr int kSystemProcessInformation = 5;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr ULONG kFirstBufferSize = 256 * 1024;
constexpr int kMostAttempts = 4;  // processes may start between the asking and the answer

std::uint64_t Quad(const LARGE_INTEGER& value) {
    return static_cast<std::uint64_t>(value.QuadPart);
}

// A steady clock in the system's 100 ns units.
std::uint64_t Now() {
    LARGE_INTEGER counter{};
    LARGE_INTEGER frequency{};
    if (!::QueryPerformanceCounter(&counter) || !::QueryPerformanceFrequency(&frequency) ||
        frequency.QuadPart <= 0) {
        return ::GetTickCount64() * 10'000;
    }
    const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 10'000'000 + ticks % perSecond * 10'000'000 / perSecond;
}

}  // namespace

std::optional<SystemSample> TakeSystemSample(DynamicFunctions::NtQuerySystemInformationFn query) {
    if (!query)
        return std::nullopt;
    std::vector<std::uint8_t> buffer(kFirstBufferSize);
    ULONG returned = 0;
    SystemSample sample;
    LONG status = kInfoLengthMismatch;
    for (int attempt = 0; attempt < kMostAttempts && status == kInfoLengthMismatch; ++attempt) {
        sample.takenAt = Now();
        returned = 0;
        status = query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                       &returned);
        if (status == kInfoLengthMismatch)
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, returned + 64 * 1024));
    }
    if (status < 0)
        return std::nullopt;
    const std::size_t size =
        std::min<std::size_t>(returned ? returned : buffer.size(), buffer.size());
    // Each record says where the next begins; a record that would reach past the answer ends
    // the walk.
    for (std::size_t offset = 0; offset + sizeof(SYSTEM_PROCESS_INFORMATION) <= size;) {
        SYSTEM_PROCESS_INFORMATION record;
        std::memcpy(&record, buffer.data() + offset, sizeof(record));
        sample.processes.push_back(
            {static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record.UniqueProcessId)),
             Quad(record.CreateTime), Quad(record.KernelTime) + Quad(record.UserTime),
             record.VirtualMemoryCounters.PagefileUsage});
        if (record.NextEntryOffset == 0)
            break;
        offset += record.NextEntryOffset;
    }
    return sample;
}

unsigned ProcessorCount() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

}  // namespace runlens
