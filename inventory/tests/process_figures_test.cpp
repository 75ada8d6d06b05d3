#include "inventory/process_figures.h"

#include <gtest/gtest.h>

#include <optional>

namespace runlens {
namespace {

constexpr std::uint64_t kSecond = 10'000'000;  // in 100 ns units

// Two samples a second apart; each process as (id, creation time, processor time).
SystemSample Sample(std::uint64_t at, std::vector<ProcessFigures> processes) {
    return {at, std::move(processes)};
}

TEST(ProcessorShares, FromTwoSamplesOverAllProcessors) {
    const struct {
        const char* name;
        SystemSample earlier;
        SystemSample later;
        unsigned processors;
        std::uint32_t process;
        std::optional<double> share;
    } cases[] = {
        {"one processor, half a second of it", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 5, kSecond / 2, 0}}), 1, 10, 50.0},
        {"two processors, one of them busy", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 5, kSecond, 0}}), 2, 10, 50.0},
        {"eight processors, all of them busy", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 5, 8 * kSecond, 0}}), 8, 10, 100.0},
        {"eight processors, one busy", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 5, kSecond, 0}}), 8, 10, 12.5},
        {"idle", Sample(kSecond, {{10, 5, 7, 0}}), Sample(2 * kSecond, {{10, 5, 7, 0}}), 2, 10,
         0.0},
        {"started between the samples", Sample(kSecond, {}),
         Sample(2 * kSecond, {{10, 5, kSecond, 0}}), 1, 10, std::nullopt},
        {"an id reused by a new process", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 6, kSecond / 2, 0}}), 1, 10, std::nullopt},
        {"a clock that did not move", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(kSecond, {{10, 5, kSecond, 0}}), 1, 10, std::nullopt},
        {"a clock that went back", Sample(2 * kSecond, {{10, 5, 0, 0}}),
         Sample(kSecond, {{10, 5, kSecond, 0}}), 1, 10, std::nullopt},
        {"no processor known", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 5, kSecond, 0}}), 0, 10, std::nullopt},
        {"processor time that went back", Sample(kSecond, {{10, 5, kSecond, 0}}),
         Sample(2 * kSecond, {{10, 5, 0, 0}}), 1, 10, 0.0},
        {"more than the processors could give", Sample(kSecond, {{10, 5, 0, 0}}),
         Sample(2 * kSecond, {{10, 5, 3 * kSecond, 0}}), 2, 10, 100.0},
    };
    for (const auto& c : cases) {
        const auto shares = ProcessorShares(c.earlier, c.later, c.processors);
        const auto found = shares.find(c.process);
        const std::optional<double> share =
            found == shares.end() ? std::nullopt : std::optional(found->second);
        EXPECT_EQ(share, c.share) << c.name;
    }
}

TEST(ProcessFigureTexts, WholePercentsAndGroupedKilobytes) {
    const struct {
        std::optional<double> share;
        const char* text;
    } shares[] = {{std::nullopt, ""}, {0.0, "0"},   {0.01, "<1"},  {0.99, "<1"},  {1.0, "1"},
                  {12.4, "12"},       {12.5, "13"}, {99.6, "100"}, {100.0, "100"}};
    for (const auto& c : shares)
        EXPECT_EQ(ProcessorShareText(c.share), c.text) << (c.share ? *c.share : -1);
    const struct {
        std::optional<std::uint64_t> bytes;
        const char* text;
    } memory[] = {{std::nullopt, ""},
                  {0, "0 K"},
                  {4096, "4 K"},
                  {12'345 * 1024ull, "12.345 K"},
                  {316'211'200, "308.800 K"},
                  {5'000'000'000ull, "4.882.812 K"}};
    for (const auto& c : memory)
        EXPECT_EQ(MemoryText(c.bytes), c.text);
}

}  // namespace
}  // namespace runlens
