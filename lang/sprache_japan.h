// The Japanese texts of the user interface, in one place.
//
// The texts are held as UTF-8 (this file is UTF-8 and so are the compiler's narrow literals).
// Everything shown on screen is converted to UTF-16 from UTF-8 at the Win32 call, so the texts
// read correctly whatever the system's ANSI code page is; a text that has to be joined to an
// ANSI text of the system (the administrator hint after a system message) is converted to the
// ANSI code page first.
#pragma once

#include <string_view>

namespace Sprache_Japan {

static_assert(sizeof("管") == 4, "narrow literals must be UTF-8");

// Appended to a row's status text when the user may not open the service control manager.
inline constexpr std::string_view AdministratorHint = "管理者としてプログラムを実行して下さい!";

inline constexpr std::string_view ColumnProcess = "実行中のプロセス";
inline constexpr std::string_view ColumnFile = "ファイル";
inline constexpr std::string_view ColumnFileSize = "ファイルサイズ";

inline constexpr std::string_view TopLabelLine1 =
    "あなたのコンピュータ上において、何が実行中ですか？何が動作を遅くしていますか？何が危険ですか"
    "？";
inline constexpr std::string_view TopLabelLine2 =
    "ご覧下さい：より多くの情報を得る為に、実行中のプロセスをクリックして下さい。";

inline constexpr std::string_view ShowInExplorerMenu = "ファイルの保存場所を開く";
inline constexpr std::string_view RefreshMenu = "最新の情報に更新";

// The status line at start-up; the site's host name follows it.
inline constexpr std::string_view StatusNotice = "Runlens 2025-2026 ・ 情報サイト: ";

// The local information page.
inline constexpr std::string_view PageHome = "ホーム";
inline constexpr std::string_view PageFiles = "ファイル";
inline constexpr std::string_view PageSoftware = "ソフトウェア";
inline constexpr std::string_view PageNews = "ニュース";
inline constexpr std::string_view PageFileInformation = "_file_ファイル情報";
inline constexpr std::string_view PageProcessBelongsTo =
    "プロセス<b>_name_</b>は、<b>_company_</b>製ソフトウェア <b>_product_</b>に属します。";
inline constexpr std::string_view PageUnknown = "不明";
// "%0:sは、フォルダー%1:sにあります。": the file name, then the folder.
inline constexpr std::string_view PageInFolderBefore = "は、フォルダー";
inline constexpr std::string_view PageInFolderAfter = "にあります。";

}  // namespace Sprache_Japan
