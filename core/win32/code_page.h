// The system's ANSI code page (CP_ACP), answered by the system's own calls.
#pragma once

#include "core/code_page.h"

namespace runlens {

class Win32CodePage final : public CodePage {
  public:
    std::u16string ToUtf16(std::string_view text) const override;
    std::string FromUtf16(std::u16string_view text) const override;
    bool IsLeadByte(unsigned char byte) const override;
    std::string Upper(std::string_view text) const override;
};

}  // namespace runlens
