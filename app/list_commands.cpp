#include "app/list_commands.h"

namespace runlens {
namespace {

void AppendField(std::u16string& text, std::u16string_view field) {
    for (const char16_t character : field) {
        const bool breaksTheRow = character == u'\t' || character == u'\r' || character == u'\n';
        text += breaksTheRow ? u' ' : character;
    }
}

}  // namespace

ProcessIdentity IdentityOf(const ProcessRow& row) {
    return {row.processId, row.caption.text};
}

std::optional<std::size_t> FindProcessRow(const ProcessIdentity& process,
                                          std::span<const ProcessRow* const> rows) {
    if (process.processId == 0)
        return std::nullopt;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] && rows[i]->processId == process.processId &&
            rows[i]->caption.text == process.caption) {
            return i;
        }
    }
    return std::nullopt;
}

std::u16string RowClipboardText(std::u16string_view caption, std::u16string_view path,
                                std::u16string_view size) {
    std::u16string text;
    text.reserve(caption.size() + path.size() + size.size() + 2);
    AppendField(text, caption);
    text += u'\t';
    AppendField(text, path);
    text += u'\t';
    AppendField(text, size);
    return text;
}

}  // namespace runlens
