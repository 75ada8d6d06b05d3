#include "inventory/image_path.h"

#include "core/text_rules.h"
#include "lang/sprache_japan.h"

namespace runlens {
namespace {

constexpr std::string_view kObjectPrefix = "\\??\\";
constexpr std::string_view kSystem32Prefix = "SYSTEM32\\";
constexpr std::string_view kSystemRootPrefix = "\\SYSTEMROOT\\";

void DropObjectPrefix(std::string& path) {
    if (path.starts_with(kObjectPrefix))
        path.erase(0, kObjectPrefix.size());
}

}  // namespace

void NormalizeImagePath(std::string& path, PathEnvironment& env) {
    if (path.find('%') != std::string::npos) {
        if (auto expanded = env.ExpandEnvironment(path))
            path = std::move(*expanded);
    }
    // Both prefixes keep their closing backslash as the joint to the directory.
    if (StartsWithAsciiNoCase(path, kSystem32Prefix)) {
        path = env.SystemDirectory() + path.substr(kSystem32Prefix.size() - 1);
    }
    if (StartsWithAsciiNoCase(path, kSystemRootPrefix)) {
        // Some systems report the prefix twice in a row.
        if (StartsWithAsciiNoCase(std::string_view(path).substr(kSystemRootPrefix.size()),
                                  kSystemRootPrefix)) {
            path.erase(0, kSystemRootPrefix.size());
        }
        path = env.WindowsDirectory() + path.substr(kSystemRootPrefix.size() - 1);
    }
    DropObjectPrefix(path);
}

std::string_view TrimSystemMessage(std::string_view message) {
    while (!message.empty()) {
        const auto last = static_cast<unsigned char>(message.back());
        if (last > 32 && last != '.')
            break;
        message.remove_suffix(1);
    }
    return message;
}

ServiceManagerAccess HasServiceManagerAccess(ProcessQueries& queries) {
    if (!queries.IsNtFamily())
        return {true, 0};
    const ServiceManagerOpen open = queries.OpenServiceManager();
    return {open.opened, open.opened ? 0 : open.error};
}

bool AdministratorHintRule::Applies() {
    if (!applies_) {
        const ServiceManagerAccess access = HasServiceManagerAccess(queries_);
        applies_ = !access.granted && access.error == kErrorAccessDenied;
    }
    return *applies_;
}

const std::string& AdministratorHintRule::Text() {
    if (!text_)
        text_ = AnsiFromUtf8(ansi_, Sprache_Japan::AdministratorHint);
    return *text_;
}

ImagePathText MakeStatusText(std::uint32_t error, ProcessQueries& queries,
                             AdministratorHintRule& hint) {
    ImagePathText status{" "};
    const std::string message = queries.SystemMessage(error);
    const std::string_view trimmed = TrimSystemMessage(message);
    // A code the system has no message for still says something.
    status.text.text += trimmed.empty() ? std::to_string(error) : std::string(trimmed);
    if (hint.Applies()) {
        status.text.text += kStatusHintGap;
        status.text.text += hint.Text();
        status.administratorHint = true;
    }
    return status;
}

ImagePathText GetProcessImagePath(std::uint32_t processId, ProcessQueries& queries,
                                  AdministratorHintRule& hint) {
    ImageQuery query = queries.QueryFullImageName(processId);
    if (query.path.text.empty()) {
        query = queries.QueryModuleFileName(processId);
        // Dropped before the rules run, so that "\??\" followed by the system-root form is
        // still rewritten.
        DropObjectPrefix(query.path.text);
    }
    if (!query.path.text.empty()) {
        NormalizeImagePath(query.path.text, queries);
        return {std::move(query.path)};
    }
    return MakeStatusText(query.error, queries, hint);
}

ImagePathText GetProcessImagePath(std::uint32_t processId, ProcessQueries& queries,
                                  const CodePage& ansi) {
    AdministratorHintRule hint(queries, ansi);
    return GetProcessImagePath(processId, queries, hint);
}

}  // namespace runlens
