// Host figures of the portable rules with Google Benchmark: the row comparison side by side
// with a plain byte comparison in std::sort, and the time the page filling takes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/sorting.h"
#include "core/site.h"
#include "info/local_page.h"
#include "tests/fakes/fake_code_page.h"

namespace {

using namespace runlens;

std::vector<ProcessRow> Rows() {
    std::mt19937 random(7);
    std::vector<ProcessRow> rows;
    for (int i = 0; i < 10000; ++i) {
        std::string name = "proc" + std::to_string(random() % 100000) + ".exe";
        if (random() % 2)
            name[0] = 'P';
        rows.push_back({name, "C:\\x\\" + name, std::to_string(random() % 1000000) + " byte", 1});
    }
    return rows;
}

void SortCompareRows(benchmark::State& state) {
    const auto rows = Rows();
    std::vector<const ProcessRow*> order;
    for (const ProcessRow& row : rows)
        order.push_back(&row);
    std::mt19937 random(1);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(order.begin(), order.end(), random);
        state.ResumeTiming();
        std::sort(order.begin(), order.end(), [](const ProcessRow* a, const ProcessRow* b) {
            return CompareRows(*a, *b, -1, false) < 0;
        });
    }
}
BENCHMARK(SortCompareRows)->Unit(benchmark::kMillisecond);

void SortPlainBytes(benchmark::State& state) {
    const auto rows = Rows();
    std::vector<std::string> texts;
    for (const ProcessRow& row : rows)
        texts.push_back(row.caption);
    std::mt19937 random(1);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(texts.begin(), texts.end(), random);
        state.ResumeTiming();
        std::sort(texts.begin(), texts.end(), std::greater<>());
    }
}
BENCHMARK(SortPlainBytes)->Unit(benchmark::kMillisecond);

std::string Template() {
    std::ifstream in(RUNLENS_SOURCE_DIR "/resources/proc_cn.html", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void FillPage(benchmark::State& state) {
    const std::string page = Template();
    const runlens::testing::FakeCodePage ansi;  // UTF-8
    const PageInputs inputs{page,
                            "C:\\Program Files\\Runlens\\runlens.exe",
                            kSiteHost,
                            "svchost.exe",
                            "C:\\Windows\\System32\\",
                            {"Host Process for Windows Services", "Windows", "Microsoft"}};
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildLocalPage(inputs, ansi));
}
BENCHMARK(FillPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
