#include "result_table.hpp"

#include <algorithm>

#include "texts.hpp"

namespace oxtarn {

namespace {
const QString kComboPrefix = QStringLiteral("cmbExtension");

// Where the file name starts: after the last separator.
qsizetype nameStart(const QString& path) {
#ifdef Q_OS_WIN
    const qsizetype sep = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    const qsizetype sep = path.lastIndexOf(u'/');
#endif
    return sep + 1;
}

// The position of the name's last ".", or -1.
qsizetype extensionDot(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot >= nameStart(path) ? dot : -1;
}
}  // namespace

const QStringList& gridHeaders() {
    static const QStringList headers{QStringLiteral("チェック欄"), QStringLiteral("ファイルフルパス"),
                                     QStringLiteral("現在の拡張子"), QStringLiteral("変換拡張子候補"),
                                     QStringLiteral("詳細情報1"),    QStringLiteral("詳細情報2"),
                                     QStringLiteral("CRC(16bit)"),   QStringLiteral("CRC(32bit)")};
    return headers;
}

void ResultTable::clear() {
    rows_.clear();
    rows_.resize(2);
    for (int c = 0; c < kColumnCount; ++c) rows_[0].cells[c] = gridHeaders()[c];
    files_ = 0;
}

QString ResultTable::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return {};
    return rows_[row].cells[column];
}

void ResultTable::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return;
    rows_[row].cells[column] = text;
}

QStringList ResultTable::choices(int row) const { return row > 0 && row < rowCount() ? rows_[row].choices : QStringList(); }

void ResultTable::setChoices(int row, const QStringList& choices) {
    if (row > 0 && row < rowCount()) rows_[row].choices = choices;
}

int ResultTable::addFile(const QString& path) {
    const int row = files_ + 1;
    if (rowCount() <= row) rows_.resize(row + 1);
    Row& r = rows_[row];
    r = Row{};
    r.cells[kTick] = QStringLiteral("0");
    r.cells[kPath] = path;
    r.cells[kPresentExt] = presentExtension(path);
    ++files_;
    return row;
}

QString presentExtension(const QString& path) {
    const qsizetype dot = extensionDot(path);
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString pathWithExtension(const QString& path, const QString& ext) {
    const qsizetype dot = extensionDot(path);
    return (dot < 0 ? path : path.left(dot)) + u'.' + ext;
}

QStringList choicesFor(const QString& engineExtensions) {
    QStringList choices;
    for (const QString& entry : engineExtensions.split(u',')) {
        const QString trimmed = entry.trimmed();
        if (!trimmed.isEmpty()) choices << trimmed;
    }
    choices << text::kNoChange;
    return choices;
}

Conversion planConversion(const ResultTable& table, int row) {
    if (row < 1 || row > table.fileCount()) return {Conversion::Leave, {}};  // the header and the empty row
    const QString chosen = table.cell(row, kChosen);
    if (chosen == text::kUnknown || chosen == text::kNoChange || chosen == table.cell(row, kPresentExt))
        return {Conversion::Reset, {}};
    if (table.cell(row, kTick) != QStringLiteral("1")) return {Conversion::Leave, {}};
    return {Conversion::Rename, pathWithExtension(table.cell(row, kPath), chosen)};
}

int rowOfControlName(const QString& name) {
    if (!name.startsWith(kComboPrefix)) return -1;
    bool ok = false;
    const int index = name.mid(kComboPrefix.size()).toInt(&ok);
    return ok && index >= 0 ? index + 1 : -1;
}

QString controlName(int row) { return kComboPrefix + QString::number(row - 1); }

}  // namespace oxtarn
