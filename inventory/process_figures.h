// Processor and memory figures of the running processes, from samples the system takes of all
// of them at once: a process's share of the processors between two samples, and its private
// bytes, with the texts the list shows for them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace runlens {

// One process as a sample found it. Times are in the system's 100 ns units.
struct ProcessFigures {
    std::uint32_t processId = 0;
    // Tells a process from a later one that the system gave the same id.
    std::uint64_t creationTime = 0;
    std::uint64_t processorTime = 0;  // kernel and user time together
    std::uint64_t privateBytes = 0;
};

struct SystemSample {
    std::uint64_t takenAt = 0;  // a steady clock, 100 ns units
    std::vector<ProcessFigures> processes;
};

// Each process's share of all `processors` between the two samples, in percent from 0 to 100,
// by process id. A process counts only when the earlier sample holds it with the same creation
// time; nothing counts when the clock did not move forward or no processor is known.
std::unordered_map<std::uint32_t, double> ProcessorShares(const SystemSample& earlier,
                                                          const SystemSample& later,
                                                          unsigned processors);

// The processor column's text: a whole percent, "<1" for a share above 0 but under 1, and
// empty without a share.
std::string ProcessorShareText(std::optional<double> share);

// The memory column's text: private bytes in kilobytes with the size column's dot grouping and
// " K" after the number (12.345 K); empty without a figure.
std::string MemoryText(std::optional<std::uint64_t> privateBytes);

}  // namespace runlens
