// The program's fill with its time split by what it spends it on: each call it makes of the
// system goes through a stand-in that adds up the time of its kind, and what is left is the
// program's own work between the calls.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/win32/process_list_view.h"
#include "core/code_page.h"
#include "inventory/inventory_system.h"
#include "inventory/process_list.h"

namespace runlens::bench {

class FillTimes {
  public:
    enum Part {
        kSnapshot,
        kImagePaths,
        kStatusTexts,
        kFileTests,
        kIcons,
        kSizeSearches,
        kListInserts,
        kOtherCalls,
        kParts
    };

    // Adds the time from its making to its end to a part.
    class Timer {
      public:
        Timer(FillTimes& times, Part part) : times_(times), part_(part) {}
        Timer(const Timer&) = delete;
        Timer& operator=(const Timer&) = delete;
        ~Timer() {
            times_.seconds[part_] += Since(start_);
            ++times_.calls[part_];
        }

      private:
        FillTimes& times_;
        Part part_;
        std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    };

    static double Since(std::chrono::steady_clock::time_point start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    // Prints each part's share of a fill that took total seconds.
    void Print(double total) const {
        static constexpr const char* kNames[kParts] = {
            "snapshot", "image-path queries", "status texts", "file tests",
            "icons",    "size searches",      "list inserts", "other calls"};
        double calls = 0;
        for (int part = 0; part < kParts; ++part) {
            std::printf("%-14s   %-19s %4d calls %9.3f ms\n", "", kNames[part], this->calls[part],
                        seconds[part] * 1e3);
            calls += seconds[part];
        }
        std::printf("%-14s   %-19s %15.3f ms\n", "", "the program's own", (total - calls) * 1e3);
    }

    std::array<double, kParts> seconds{};
    std::array<int, kParts> calls{};
};

class TimedSnapshot final : public ProcessSnapshot {
  public:
    TimedSnapshot(std::unique_ptr<ProcessSnapshot> inner, FillTimes& times)
        : inner_(std::move(inner)), times_(times) {}
    bool Next(SnapshotEntry& entry) override {
        FillTimes::Timer timer(times_, FillTimes::kSnapshot);
        return inner_->Next(entry);
    }

  private:
    std::unique_ptr<ProcessSnapshot> inner_;
    FillTimes& times_;
};

class TimedInventory final : public InventorySystem {
  public:
    using Part = FillTimes::Part;
    TimedInventory(InventorySystem& inner, FillTimes& times) : inner_(inner), times_(times) {}

    std::optional<std::string> ExpandEnvironment(std::string_view text) override {
        return Timed(FillTimes::kOtherCalls, [&] { return inner_.ExpandEnvironment(text); });
    }
    std::string SystemDirectory() override {
        return Timed(FillTimes::kOtherCalls, [&] { return inner_.SystemDirectory(); });
    }
    std::string WindowsDirectory() override {
        return Timed(FillTimes::kOtherCalls, [&] { return inner_.WindowsDirectory(); });
    }
    ImageQuery QueryFullImageName(std::uint32_t processId) override {
        return Timed(FillTimes::kImagePaths, [&] { return inner_.QueryFullImageName(processId); });
    }
    ImageQuery QueryModuleFileName(std::uint32_t processId) override {
        return Timed(FillTimes::kImagePaths, [&] { return inner_.QueryModuleFileName(processId); });
    }
    std::string SystemMessage(std::uint32_t error) override {
        return Timed(FillTimes::kStatusTexts, [&] { return inner_.SystemMessage(error); });
    }
    bool IsNtFamily() override {
        return Timed(FillTimes::kOtherCalls, [&] { return inner_.IsNtFamily(); });
    }
    ServiceManagerOpen OpenServiceManager() override {
        return Timed(FillTimes::kStatusTexts, [&] { return inner_.OpenServiceManager(); });
    }
    std::unique_ptr<ProcessSnapshot> TakeSnapshot() override {
        auto snapshot = Timed(FillTimes::kSnapshot, [&] { return inner_.TakeSnapshot(); });
        if (!snapshot)
            return nullptr;
        return std::make_unique<TimedSnapshot>(std::move(snapshot), times_);
    }
    bool FileExists(std::string_view path) override {
        return Timed(FillTimes::kFileTests, [&] { return inner_.FileExists(path); });
    }
    std::uint64_t GetFileSizeOf(std::string_view path) override {
        return Timed(FillTimes::kSizeSearches, [&] { return inner_.GetFileSizeOf(path); });
    }

  private:
    template <typename Call>
    auto Timed(Part part, Call&& call) -> decltype(call()) {
        FillTimes::Timer timer(times_, part);
        return call();
    }

    InventorySystem& inner_;
    FillTimes& times_;
};

class TimedCodePage final : public CodePage {
  public:
    TimedCodePage(const CodePage& inner, FillTimes& times) : inner_(inner), times_(times) {}
    std::u16string ToUtf16(std::string_view text) const override {
        FillTimes::Timer timer(times_, FillTimes::kOtherCalls);
        return inner_.ToUtf16(text);
    }
    // The fill converts only the administrator hint of the status texts.
    std::string FromUtf16(std::u16string_view text) const override {
        FillTimes::Timer timer(times_, FillTimes::kStatusTexts);
        return inner_.FromUtf16(text);
    }
    bool IsLeadByte(unsigned char byte) const override {
        FillTimes::Timer timer(times_, FillTimes::kOtherCalls);
        return inner_.IsLeadByte(byte);
    }
    std::string Upper(std::string_view text) const override {
        FillTimes::Timer timer(times_, FillTimes::kOtherCalls);
        return inner_.Upper(text);
    }

  private:
    const CodePage& inner_;
    FillTimes& times_;
};

class TimedListView final : public ProcessListView {
  public:
    TimedListView(ProcessListView& inner, FillTimes& times) : inner_(inner), times_(times) {}
    void InsertRow(std::size_t position, ProcessRow row) override {
        FillTimes::Timer timer(times_, FillTimes::kListInserts);
        inner_.InsertRow(position, std::move(row));
    }
    void AppendRow(ProcessRow row) override {
        FillTimes::Timer timer(times_, FillTimes::kListInserts);
        inner_.AppendRow(std::move(row));
    }

  private:
    ProcessListView& inner_;
    FillTimes& times_;
};

// Fills through the stand-ins, then brings the icons in, and returns where the time went; total
// is the whole work's.
inline FillTimes TimeFill(InventorySystem& system, const CodePage& ansi, Win32ProcessListView& view,
                          double& total) {
    FillTimes times;
    TimedInventory timedSystem(system, times);
    const TimedCodePage timedAnsi(ansi, times);
    TimedListView timedView(view, times);
    const auto start = std::chrono::steady_clock::now();
    FillProcessList(timedSystem, timedAnsi, timedView);
    {
        FillTimes::Timer timer(times, FillTimes::kIcons);
        view.AddPendingIcons();
    }
    total = FillTimes::Since(start);
    return times;
}

}  // namespace runlens::bench
