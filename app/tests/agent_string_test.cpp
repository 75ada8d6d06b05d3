#include "app/agent_string.h"

#include <gtest/gtest.h>

namespace runlens {
namespace {

TEST(AgentString, NtFamilyHasTwoSpacesBeforeNt) {
    EXPECT_EQ(
        BuildAgentString({"runlens.exe", PlatformFamily::kNt, 6, 1, 0x0411, "Japanese", "Japan"}),
        "runlens.exe/1 (Windows  NT 6.1, 0411 Japanese/Japan)");
}

TEST(AgentString, OtherFamiliesAndUnreadableItems) {
    EXPECT_EQ(BuildAgentString(
                  {"r.exe", PlatformFamily::kNineX, 4, 10, 0x0409, "English", "United States"}),
              "r.exe/1 (Windows  9x 4.10, 0409 English/United States)");
    EXPECT_EQ(BuildAgentString({"r.exe", PlatformFamily::kOther, 10, 0, 0x0c0a, "", ""}),
              "r.exe/1 (Windows ? 10.0, 0C0A /)");
}

}  // namespace
}  // namespace runlens
