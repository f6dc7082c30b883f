// The texts the desktop program shows, exactly as users know them. Lines of
// a message are joined by CR LF; the message box turns them into line breaks.
#pragma once

#include <QString>
#include <QStringList>

namespace oxtarn::text {

inline const QString kAppTitle = QStringLiteral("Oxtarn");
inline const QString kCrLf = QStringLiteral("\r\n");

// Toolbars and menus.
inline const QString kToolbox = QStringLiteral("ツールボックス");
inline const QString kBootShell = QStringLiteral("エクスプローラの起動");
inline const QString kSampleMenu = QStringLiteral("検査バイト数 ▼");
inline const QString kMethodMenu = QStringLiteral("検査方法 ▼");
inline const QString kVersion = QStringLiteral("バージョン情報");
inline const QString kHelp = QStringLiteral("ヘルプ");
inline const QString kQuit = QStringLiteral("終了");
inline const QString kListClear = QStringLiteral("リストクリア");
inline const QString kChangeExt = QStringLiteral("拡張子一括変換");
// The toolbars' own names, shown in their context menu.
inline const QString kProgramToolbar = QStringLiteral("プログラム");
inline const QString kListToolbar = QStringLiteral("リスト");
// Commands beyond the original set.
inline const QString kOpenFiles = QStringLiteral("ファイルを開く");
inline const QString kOpenFolder = QStringLiteral("フォルダを開く");
inline const QString kCancelBatch = QStringLiteral("中止");
inline const QString kRecommendAll = QStringLiteral("すべて推奨に");
inline const QString kRecheck = QStringLiteral("再検査");
inline const QString kExportCsv = QStringLiteral("CSV出力");
inline const QString kRemoveRows = QStringLiteral("選択行を削除");
inline const QString kCopyRows = QStringLiteral("選択行をコピー");
inline const QString kCsvFilter = QStringLiteral("CSV (*.csv)");

// The result grid.
inline const QString kNoChange = QStringLiteral("変換なし");
inline const QString kUnknown = QStringLiteral("?");
inline const QString kDropHint = QStringLiteral("ファイルをドラッグ＆ドロップしてください");
inline const QString kVersionPrefix = QStringLiteral("ZARVO32.DLL Version:");
// The description cell of a file that could not be read, before the system's reason.
inline const QString kUnreadablePrefix = QStringLiteral("読み込めません: ");
inline const QString kNotAFile = QStringLiteral("通常のファイルではありません");

// Messages.
inline const QString kEngineMissing =
    QStringLiteral("Zarvo32.dllが認識できません") + kCrLf + QStringLiteral("ReadMe.txtを参照し、DLLを取得してください");
inline const QString kCloseQuestion = QStringLiteral("終了します") + kCrLf + QStringLiteral("よろしいですか？");
inline const QString kNothingTicked =
    QStringLiteral("拡張子変換を行うファイルの「チェック欄」に") + kCrLf + QStringLiteral("チェックを入れてください");
inline const QString kChangeQuestion =
    QStringLiteral("チェックされたアイテムの拡張子を一括変換します") + kCrLf + QStringLiteral("よろしいですか？");
inline const QString kChangeDone = QStringLiteral("一括変換が完了しました");
// Added to the completion message when some renames could not be made.
inline const QString kChangeFailures = QStringLiteral("次のファイルは変換できませんでした（元のまま残しています）：");
// The counts of the completion message: renamed, skipped, failed.
inline const QString kChangeCounts = QStringLiteral("変換 %1 件、スキップ %2 件、失敗 %3 件");
// After a batch: the files that could not be read, one per line.
inline const QString kUnreadableFiles = QStringLiteral("次のファイルは読み込めませんでした（%1 件）：");
inline const QString kMoreFiles = QStringLiteral("ほか %1 件");
inline const QString kHelpFailed = QStringLiteral("ヘルプを開けませんでした：");
inline const QString kFileManagerFailed = QStringLiteral("ファイルマネージャを開けませんでした：");
inline const QString kExportFailed = QStringLiteral("CSVファイルを書き込めませんでした：");

// The about box.
inline const QString kAuthorGroup = QStringLiteral("作者名");
inline const QString kSupportGroup = QStringLiteral("最新版・サポート情報");
inline const QString kVersionLabelPrefix = QStringLiteral("Version: ");
inline const QString kVersionInfoFailed = QStringLiteral("情報の取得に失敗しました");
inline const QString kDisclaimer = QStringLiteral("このソフトウェアの使用に関して、直接的または") + kCrLf +
                                   QStringLiteral("間接的に生じる一切の損害当について、") + kCrLf +
                                   QStringLiteral("作者は如何なる責任も負いません。") + kCrLf +
                                   QStringLiteral("このことは、このソフトウェアの使用をもって") + kCrLf +
                                   QStringLiteral("同意されたものと見なします。");

}  // namespace oxtarn::text
