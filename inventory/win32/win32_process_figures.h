// Samples of every process's processor time and private bytes, from the one system call that
// gives them for all processes at once without opening any (NtQuerySystemInformation with
// SystemProcessInformation). Opening each process would need rights a standard user lacks, and
// Wine answers GetProcessTimes and GetProcessMemoryInfo on other processes wrongly.
#pragma once

#include <optional>

#include "core/win32/dynamic_functions.h"
#include "inventory/process_figures.h"

namespace runlens {

// Nothing where the system lacks the call or the call fails.
std::optional<SystemSample> TakeSystemSample(DynamicFunctions::NtQuerySystemInformationFn query =
                                                 DynamicFunctions::NtQuerySystemInformation());

// The processors the shares are taken over.
unsigned ProcessorCount();

}  // namespace runlens
