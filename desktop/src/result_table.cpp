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
    nextId_ = 0;
    rowOfId_.clear();
    idOfPath_.clear();
}

QString ResultTable::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return {};
    return rows_[row].cells[column];
}

void ResultTable::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return;
    Row& r = rows_[row];
    if (column == kPath && r.id >= 0) {
        if (idOfPath_.value(r.cells[kPath], -1) == r.id) idOfPath_.remove(r.cells[kPath]);
        idOfPath_.insert(text, r.id);
    }
    r.cells[column] = text;
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
    r.id = nextId_++;
    rowOfId_.insert(r.id, row);
    idOfPath_.insert(path, r.id);
    ++files_;
    return row;
}

int ResultTable::fileId(int row) const { return row >= 1 && row <= files_ ? rows_[row].id : -1; }

int ResultTable::rowOfFile(int id) const { return rowOfId_.value(id, -1); }

int ResultTable::rowOfPath(const QString& path) const {
    const int id = idOfPath_.value(path, -1);
    return id < 0 ? -1 : rowOfFile(id);
}

void ResultTable::removeRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 1 || *it > files_) continue;
        rows_.removeAt(*it);
        --files_;
    }
    if (rows_.size() < 2) rows_.resize(2);
    reindex();
}

void ResultTable::reindex() {
    rowOfId_.clear();
    idOfPath_.clear();
    for (int row = 1; row <= files_; ++row) {
        rowOfId_.insert(rows_[row].id, row);
        idOfPath_.insert(rows_[row].cells[kPath], rows_[row].id);
    }
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

bool isRealChange(const QString& chosen, const QString& present) {
    return chosen != text::kUnknown && chosen != text::kNoChange && chosen != present;
}

QString recommendedChoice(const ResultTable& table, int row) {
    const QStringList choices = table.choices(row);
    if (choices.isEmpty()) return {};
    const QString first = choices.first();
    if (!isRealChange(first, table.cell(row, kPresentExt))) return {};
    if (first.compare(table.cell(row, kPresentExt), Qt::CaseInsensitive) == 0) return {};
    return first;
}

QString oneLine(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();  // also the CR of a CR LF
        if (!trimmed.isEmpty()) lines << trimmed;
    }
    return lines.join(QStringLiteral("; "));
}

Conversion planConversion(const ResultTable& table, int row) {
    if (row < 1 || row > table.fileCount()) return {Conversion::Leave, {}};  // the header and the empty row
    const QString chosen = table.cell(row, kChosen);
    if (!isRealChange(chosen, table.cell(row, kPresentExt))) return {Conversion::Reset, {}};
    if (table.cell(row, kTick) != QStringLiteral("1")) return {Conversion::Leave, {}};
    return {Conversion::Rename, pathWithExtension(table.cell(row, kPath), chosen)};
}

QString controlName(int fileId) { return kComboPrefix + QString::number(fileId); }

}  // namespace oxtarn
