// The check a version block passes before the system's ANSI query sees it. That query trusts
// every length in the block: a length that claims more than the resource holds sends its reads,
// and the texts it converts and writes behind the block, past the end of the buffer.
#pragma once

#include <cstdint>
#include <span>

namespace runlens {

// True when the version block at the start of `buffer` (the whole buffer the resource was read
// into) holds together: every node lies inside its parent and the buffer, its key ends inside
// it and its value too; and, in the 16-bit-character layout, the ANSI texts the query converts
// behind the block fit in the buffer. Reads only inside `buffer`, and ends on any block.
bool IsWellFormedVersionBlock(std::span<const std::uint8_t> buffer);

}  // namespace runlens
