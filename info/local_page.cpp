#include "info/local_page.h"

#include <array>
#include <utility>

#include "core/text_rules.h"

#include "core/site.h"
#include "lang/sprache_japan.h"

namespace runlens {
namespace {

constexpr std::size_t kMinimumFolderLength = 4;

// Stands in for the program's path until every replacement has run, so that no rule changes
// the path (a folder whose name holds ".gif" or "_name_" stays as it is). Its control bytes
// cannot come from a value: those are replaced.
constexpr std::string_view kProgramPathToken = "\x01RUNLENS-PROGRAM-PATH\x01";

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

}  // namespace

std::string ReplaceAllExact(std::string_view text, std::string_view pattern,
                            std::string_view replacement) {
    if (pattern.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string_view::npos;
         at = text.find(pattern, from)) {
        result.append(text, from, at - from);
        result.append(replacement);
        from = at + pattern.size();
    }
    result.append(text, from);
    return result;
}

std::string ReplaceAllNoCase(std::string_view text, std::string_view pattern,
                             std::string_view replacement, const CodePage& ansi) {
    if (pattern.empty() || text.empty())
        return std::string(text);
    std::string upperText = ansi.Upper(text);
    std::string upperPattern = ansi.Upper(pattern);
    if (upperText.size() != text.size() || upperPattern.size() != pattern.size()) {
        // Positions must stay where they were; ASCII upper-casing keeps them.
        upperText = AsciiUpper(text);
        upperPattern = AsciiUpper(pattern);
    }
    TrailByteWalk trail(text, ansi);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    std::size_t at = upperText.find(upperPattern);
    while (at != std::string::npos) {
        if (trail.IsTrailByte(at)) {
            at = upperText.find(upperPattern, at + 1);
            continue;
        }
        result.append(text, from, at - from);
        result.append(replacement);
        from = at + pattern.size();
        at = upperText.find(upperPattern, from);
    }
    result.append(text, from);
    return result;
}

RowValues MakeRowValues(const ProcessRow& row, const CodePage& ansi) {
    const PathParts parts = SplitPath(row.path.text, ansi);
    if (parts.folder.size() >= kMinimumFolderLength && parts.folder.front() != ' ') {
        return {{std::string(parts.name), row.path.exact}, std::string(parts.folder)};
    }
    return {row.caption, {}};
}

std::string EscapeHtml(std::string_view utf8) {
    std::string escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\t':
            case '\n':
            case '\r':
                escaped += c;
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    escaped += kReplacementCharacter;
                } else {
                    escaped += c;
                }
        }
    }
    return escaped;
}

PageStrings PageStringsFrom(const VersionStrings& strings, const CodePage& ansi) {
    return {Utf8FromAnsi(ansi, strings.description), Utf8FromAnsi(ansi, strings.product),
            Utf8FromAnsi(ansi, strings.company)};
}

std::string BuildLocalPage(const PageInputs& in, const CodePage& ansi) {
    const std::string fileName = EscapeHtml(in.fileName);
    const std::string folder = EscapeHtml(in.folder);
    const std::string description =
        in.strings.description.empty() ? fileName : EscapeHtml(in.strings.description);
    const std::string product = in.strings.product.empty() ? std::string(Sprache_Japan::PageUnknown)
                                                           : EscapeHtml(in.strings.product);
    const std::string company = in.strings.company.empty() ? std::string(Sprache_Japan::PageUnknown)
                                                           : EscapeHtml(in.strings.company);
    std::string sentence;
    if (!folder.empty()) {
        sentence = " " + fileName + std::string(Sprache_Japan::PageInFolderBefore) + folder +
                   std::string(Sprache_Japan::PageInFolderAfter);
    }

    const std::string resourceBase = "res://" + std::string(kProgramPathToken);
    const std::pair<std::string_view, std::string> fixed[] = {
        {"_ProcessFolder_", SitePageFolderAddress(in.siteHost)},
        {"\"../img/", "\"" + resourceBase + "/GIF/"},
        {".gif", ""},
        {"../file.css", resourceBase + "/CSS/file_cn"},
        {"%orvane%", SiteDomain(in.siteHost)},
        {"%MetaLang%", "ja"},
        {"%Home%", std::string(Sprache_Japan::PageHome)},
        {"%Files%", std::string(Sprache_Japan::PageFiles)},
        {"%Software%", std::string(Sprache_Japan::PageSoftware)},
        {"%News%", std::string(Sprache_Japan::PageNews)},
        {"%file_information%", std::string(Sprache_Japan::PageFileInformation)},
        {"%process_belongs_to%", std::string(Sprache_Japan::PageProcessBelongsTo)},
        {"../", SiteRootAddress(in.siteHost)},
    };
    std::string page(in.templateText);
    for (const auto& [pattern, replacement] : fixed) {
        page = ReplaceAllNoCase(page, pattern, replacement, ansi);
    }

    // The row placeholders, in one pass: a value that holds another placeholder's text shows
    // as it is.
    const std::array<std::pair<std::string_view, const std::string*>, 6> row = {{
        {"_desc_", &sentence},
        {"_file_", &fileName},
        {"_fileNoExt_", &fileName},
        {"_name_", &description},
        {"_product_", &product},
        {"_company_", &company},
    }};
    std::string filled;
    filled.reserve(page.size() + 256);
    for (std::size_t i = 0; i < page.size();) {
        bool replaced = false;
        if (page[i] == '_') {
            for (const auto& [placeholder, value] : row) {
                if (std::string_view(page).substr(i).starts_with(placeholder)) {
                    filled += *value;
                    i += placeholder.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            filled += page[i++];
    }
    return ReplaceAllExact(filled, kProgramPathToken, EscapeHtml(in.programPath));
}

void ShowLocalInfoPage(const ProcessRow* selected, LocalPageSystem& system, const CodePage& ansi,
                       BrowserPane& pane) {
    pane.Navigate(u"about:blank");
    pane.Update();
    if (!selected)
        return;

    const RowValues values = MakeRowValues(*selected, ansi);
    VersionStrings strings;
    if (!values.fileName.exact || !system.ReadVersionStrings(values.fileName.text, strings))
        strings = {};

    const std::string templateText = system.LoadTextResource("PROC_CN_HTML");
    const std::string programPath = system.ProgramPathUtf8();
    PageInputs inputs{templateText,
                      programPath,
                      kSiteHost,
                      Utf8FromAnsi(ansi, values.fileName.text),
                      Utf8FromAnsi(ansi, values.folder),
                      PageStringsFrom(strings, ansi)};
    const std::string page = BuildLocalPage(inputs, ansi);
    pane.Navigate(system.WriteTemporaryPage(page));
}

}  // namespace runlens
