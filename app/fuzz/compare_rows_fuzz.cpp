// Arbitrary rows and sort keys through the comparison: it must be antisymmetric.
#include <cstdint>
#include <string>

#include "app/sorting.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int column = data[0] % 4;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t half = rest.size() / 2;
    const runlens::ProcessRow row1{std::string(rest.substr(0, half)),
                                   std::string(rest.substr(0, half)),
                                   std::string(rest.substr(0, half)), 1};
    const runlens::ProcessRow row2{std::string(rest.substr(half)), std::string(rest.substr(half)),
                                   std::string(rest.substr(half)), 1};
    for (const bool rightAligned : {false, true}) {
        for (const int key : {column + 1, -(column + 1)}) {
            const int forward = runlens::CompareRows(row1, row2, key, rightAligned);
            const int backward = runlens::CompareRows(row2, row1, key, rightAligned);
            if ((forward > 0) != (backward < 0) || (forward == 0) != (backward == 0)) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
