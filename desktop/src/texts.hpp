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

// The result grid.
inline const QString kNoChange = QStringLiteral("変換なし");
inline const QString kUnknown = QStringLiteral("?");
inline const QString kDropHint = QStringLiteral("ファイルをドラッグ＆ドロップしてください");
inline const QString kVersionPrefix = QStringLiteral("ZARVO32.DLL Version:");

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
