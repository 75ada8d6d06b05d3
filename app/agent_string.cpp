#include "app/agent_string.h"

#include <cstdio>

namespace runlens {

namespace {

std::string_view PlatformWord(PlatformFamily family) {
    switch (family) {
        case PlatformFamily::kNt:
            return " NT";
        case PlatformFamily::kNineX:
            return " 9x";
        default:
            return "?";
    }
}

}  // namespace

std::string BuildAgentString(const AgentFacts& facts) {
    char language[8];
    std::snprintf(language, sizeof(language), "%04X", static_cast<unsigned>(facts.languageId));
    std::string agent(facts.programFileName);
    agent += "/1 (Windows ";
    agent += PlatformWord(facts.family);
    agent += ' ';
    agent += std::to_string(facts.majorVersion);
    agent += '.';
    agent += std::to_string(facts.minorVersion);
    agent += ", ";
    agent += language;
    agent += ' ';
    agent += facts.languageName;
    agent += '/';
    agent += facts.countryName;
    agent += ')';
    return agent;
}

}  // namespace runlens
