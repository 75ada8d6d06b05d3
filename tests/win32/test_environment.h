// Shared set-up of the Windows test program.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/win32/paths.h"
#include "core/win32/text.h"

namespace runlens::testing {

// The test program's own path in the ANSI code page, as the rows and the page hold paths.
inline std::string OwnImagePath() {
    return AnsiFromWide(ProgramFilePath());
}

// Under LANG=ja_JP.UTF-8 Wine runs with code page 932 and language 0x0411. The Japanese test
// run sets RUNLENS_REQUIRE_JAPANESE, so that a missing locale fails there instead of skipping.
class JapaneseLocaleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::GetACP() == 932)
            return;
        if (std::getenv("RUNLENS_REQUIRE_JAPANESE"))
            FAIL() << "code page " << ::GetACP();
        GTEST_SKIP() << "needs code page 932, have " << ::GetACP();
    }
};

}  // namespace runlens::testing
