#include "inventory/process_figures.h"

#include <algorithm>
#include <cmath>

#include "inventory/process_list.h"

namespace runlens {

std::unordered_map<std::uint32_t, double> ProcessorShares(const SystemSample& earlier,
                                                          const SystemSample& later,
                                                          unsigned processors) {
    std::unordered_map<std::uint32_t, double> shares;
    if (processors == 0 || later.takenAt <= earlier.takenAt)
        return shares;
    std::unordered_map<std::uint32_t, const ProcessFigures*> before;
    for (const ProcessFigures& process : earlier.processes)
        before.emplace(process.processId, &process);
    const double available =
        static_cast<double>(later.takenAt - earlier.takenAt) * static_cast<double>(processors);
    for (const ProcessFigures& process : later.processes) {
        const auto found = before.find(process.processId);
        if (found == before.end() || found->second->creationTime != process.creationTime)
            continue;  // started since, or a new process under an old id
        const std::uint64_t used = process.processorTime >= found->second->processorTime
                                       ? process.processorTime - found->second->processorTime
                                       : 0;
        shares[process.processId] =
            std::clamp(static_cast<double>(used) * 100.0 / available, 0.0, 100.0);
    }
    return shares;
}

std::string ProcessorShareText(std::optional<double> share) {
    if (!share)
        return {};
    if (*share > 0 && *share < 1)
        return "<1";
    return std::to_string(static_cast<int>(std::lround(std::clamp(*share, 0.0, 100.0))));
}

std::string MemoryText(std::optional<std::uint64_t> privateBytes) {
    if (!privateBytes)
        return {};
    return FormatByteCount(*privateBytes / 1024) + " K";
}

}  // namespace runlens
