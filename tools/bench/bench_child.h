// What the benchmark and its child program share.
#pragma once

// The event the benchmark sets when its children are to end.
inline constexpr wchar_t kBenchStopEvent[] = L"RunlensBenchStop";
