// The local information page: the template filled with the row's file, folder and version
// strings, written to a new temporary file and shown in the browser pane.
#pragma once

#include <string>
#include <string_view>

#include "core/browser_pane.h"
#include "core/code_page.h"
#include "core/process_row.h"
#include "info/version_strings.h"

namespace runlens {

// Every occurrence of pattern, byte for byte, left to right; inserted text is never searched
// again and matches never overlap. An empty pattern changes nothing.
std::string ReplaceAllExact(std::string_view text, std::string_view pattern,
                            std::string_view replacement);

// The same, with the occurrences found after upper-casing text and pattern by the locale's rules
// for the ANSI code page; an occurrence that would begin on the second byte of a double-byte
// character is not taken.
std::string ReplaceAllNoCase(std::string_view text, std::string_view pattern,
                             std::string_view replacement, const CodePage& ansi);

// What the page shows of a row: file name and folder as the row holds them (ANSI).
struct RowValues {
    // An inexact name names no file: no version strings are read under it.
    AnsiText fileName;
    std::string folder;  // empty when the row has no usable folder
};

// The folder is kept when it is at least 4 characters long and does not begin with a space;
// the file name is then the path's last part, otherwise the row's caption.
RowValues MakeRowValues(const ProcessRow& row, const CodePage& ansi);

// Escapes &, <, > and the double quote, so that a value stands in the page as text, and
// replaces the control characters that XML does not allow (all below 0x20 but tab, line feed
// and carriage return) with U+FFFD, so that the page stays well-formed.
std::string EscapeHtml(std::string_view utf8);

// The version strings the page shows: UTF-8, not yet escaped; each empty when the file has none.
struct PageStrings {
    std::string description;
    std::string product;
    std::string company;
};
PageStrings PageStringsFrom(const VersionStrings& strings, const CodePage& ansi);

struct PageInputs {
    std::string_view templateText;  // the page template, UTF-8
    std::string_view programPath;   // the program file's full path, UTF-8
    std::string_view siteHost;
    std::string fileName;  // UTF-8, not yet escaped
    std::string folder;    // UTF-8, not yet escaped; empty without a folder
    PageStrings strings;
};

// The filled page (without the line end the file adds). The template's fixed patterns are found
// as ReplaceAllNoCase finds them.
std::string BuildLocalPage(const PageInputs& inputs, const CodePage& ansi);

// The system's side of showing the page.
class LocalPageSystem {
  public:
    virtual ~LocalPageSystem() = default;
    virtual std::string LoadTextResource(std::string_view name) = 0;
    virtual std::string ProgramPathUtf8() = 0;
    virtual bool ReadVersionStrings(std::string_view fileName, VersionStrings& strings) = 0;
    // Writes the page and a CR LF to a new temporary file of its own making (prefix "htm", a
    // number, ".tmp") and returns the file's full path; the page it wrote before goes. Throws
    // std::runtime_error on an I/O error.
    virtual std::u16string WriteTemporaryPage(std::string_view page) = 0;
};

// Shows the local page of the selected row; the pane stays blank without a row.
void ShowLocalInfoPage(const ProcessRow* selected, LocalPageSystem& system, const CodePage& ansi,
                       BrowserPane& pane);

}  // namespace runlens
