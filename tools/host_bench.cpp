// Host figures of the portable rules: the row comparison side by side with a plain byte
// comparison in std::sort, round by round, and with Google Benchmark the time the page filling
// takes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The sort figure: CompareRows on the rows against std::sort of the captions by bytes, each from
// the same shuffled order, one after the other in every round. The ratio is the median of the
// rounds' own ratios: a change of the machine's speed between rounds, which moves the two
// medians apart when each is taken over a run of its own, leaves it alone.
void PrintSortFigure() {
    using Clock = std::chrono::steady_clock;
    constexpr int kRounds = 61;
    const auto rows = Rows();
    std::vector<std::size_t> shuffled(rows.size());
    std::iota(shuffled.begin(), shuffled.end(), 0);
    std::mt19937 random(1);
    std::vector<double> program, bare, ratios;
    for (int round = 0; round < kRounds; ++round) {
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        std::vector<const ProcessRow*> order;
        std::vector<std::string> texts;
        for (const std::size_t index : shuffled) {
            order.push_back(&rows[index]);
            texts.push_back(rows[index].caption.text);
        }
        const auto start = Clock::now();
        std::sort(order.begin(), order.end(), [](const ProcessRow* a, const ProcessRow* b) {
            return CompareRows(*a, *b, -1, false) < 0;
        });
        const auto middle = Clock::now();
        std::sort(texts.begin(), texts.end(), std::greater<>());
        const auto end = Clock::now();
        program.push_back(std::chrono::duration<double, std::milli>(middle - start).count());
        bare.push_back(std::chrono::duration<double, std::milli>(end - middle).count());
        ratios.push_back(program.back() / bare.back());
    }
    std::printf("sort-rounds %d program %.4f ms bare %.4f ms ratio %.4f\n", kRounds,
                Median(program), Median(bare), Median(ratios));
    std::fflush(stdout);
}

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

int main(int argc, char** argv) {
    PrintSortFigure();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
