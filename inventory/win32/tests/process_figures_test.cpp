// The samples of every process's figures against what this test process does meanwhile.
#include "inventory/win32/win32_process_figures.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace runlens {
namespace {

const ProcessFigures* Find(const SystemSample& sample, std::uint32_t processId) {
    for (const ProcessFigures& process : sample.processes) {
        if (process.processId == processId)
            return &process;
    }
    return nullptr;
}

TEST(ProcessFigureSamples, ShowThisProcessesBusyTimeAndCommittedMemory) {
    const std::uint32_t self = ::GetCurrentProcessId();
    const auto first = TakeSystemSample();
    ASSERT_TRUE(first);
    ASSERT_NE(Find(*first, self), nullptr);
    EXPECT_GT(first->processes.size(), 2u);

    constexpr std::size_t kCommitted = 64u << 20;
    std::vector<char> memory(kCommitted);
    std::memset(memory.data(), 1, memory.size());
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    volatile unsigned spin = 0;
    while (std::chrono::steady_clock::now() < end)
        spin = spin + 1;

    const auto second = TakeSystemSample();
    ASSERT_TRUE(second);
    const ProcessFigures* now = Find(*second, self);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->creationTime, Find(*first, self)->creationTime);
    EXPECT_GE(now->privateBytes, kCommitted);
    const unsigned processors = ProcessorCount();
    ASSERT_GT(processors, 0u);
    const auto shares = ProcessorShares(*first, *second, processors);
    ASSERT_TRUE(shares.contains(self));
    EXPECT_GE(shares.at(self), 30.0 / processors) << "busy on one thread for most of the time";
    EXPECT_LE(shares.at(self), 100.0);
}

LONG WINAPI RefusingQuery(int, void*, ULONG, ULONG*) {
    return static_cast<LONG>(0xC0000022);  // access denied
}

LONG WINAPI NeverEnoughQuery(int, void*, ULONG size, ULONG* needed) {
    *needed = size + 1;
    return static_cast<LONG>(0xC0000004);  // the buffer is too small
}

// A system without the call, one that refuses it, and one that always wants a larger buffer.
TEST(ProcessFigureSamples, NothingWithoutAWorkingCall) {
    EXPECT_FALSE(TakeSystemSample(nullptr));
    EXPECT_FALSE(TakeSystemSample(&RefusingQuery));
    EXPECT_FALSE(TakeSystemSample(&NeverEnoughQuery));
}

}  // namespace
}  // namespace runlens
