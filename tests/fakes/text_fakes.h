// Stand-ins for the system's code pages, for the portable tests and fuzz targets.
#pragma once

namespace runlens::testing {

// Code page 932 (Shift JIS): the second byte of a double-byte character may be a backslash,
// as in 表 (0x95 0x5C).
inline bool ShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace runlens::testing
