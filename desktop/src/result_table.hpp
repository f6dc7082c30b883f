// The texts of the result grid: row 0 holds the headers, file n (from 0) is
// row n + 1, and there is always at least one row below the header. The
// window shows these texts; the check box of column 0 and the drop-down of
// column 3 follow their cells ("1"/"0" and the chosen entry).
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace oxtarn {

enum Column { kTick, kPath, kPresentExt, kChosen, kDescription, kDetail, kCrc16, kCrc32, kColumnCount };

const QStringList& gridHeaders();

class ResultTable {
public:
    ResultTable() { clear(); }

    // Two rows: the headers and one empty row; no files.
    void clear();

    int rowCount() const { return int(rows_.size()); }
    int fileCount() const { return files_; }

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);

    // The entries of a file row's drop-down.
    QStringList choices(int row) const;
    void setChoices(int row, const QStringList& choices);

    // Starts the row of the next file (adding a grid row when needed) with
    // its path and present extension, unticked; returns the row number.
    int addFile(const QString& path);

    // Each file row has an id that stays with it while rows are removed
    // (ids start at 0 after a clear). -1 / -1 when there is no such row.
    int fileId(int row) const;
    int rowOfFile(int id) const;
    // The row that lists `path` (as column 1 has it), or -1.
    int rowOfPath(const QString& path) const;

    // Removes these file rows; the rows below move up, and one empty row
    // stays when no file is left.
    void removeRows(QList<int> rows);

private:
    struct Row {
        std::array<QString, kColumnCount> cells;
        QStringList choices;
        int id = -1;
    };
    void reindex();

    QList<Row> rows_;
    int files_ = 0;
    int nextId_ = 0;
    QHash<int, int> rowOfId_;
    QHash<QString, int> idOfPath_;
};

// The extension of a path as column 2 shows it: the text after the last "."
// of the file name; empty when the name has none.
QString presentExtension(const QString& path);

// The path of a file renamed to extension `ext`: its extension (from the
// name's last ".") replaced, or ".ext" appended when it has none.
QString pathWithExtension(const QString& path, const QString& ext);

// The drop-down entries for an engine answer: its candidates, then "変換なし".
// This is the one place where a candidate list is split.
QStringList choicesFor(const QString& engineExtensions);

// Whether choosing `chosen` for a file whose extension is `present` would
// rename it: not "?", not "変換なし", not the present extension.
bool isRealChange(const QString& chosen, const QString& present);

// The first candidate of a row when the file is misnamed by it; empty when
// the row has no candidate, only "?", or already carries it (in any case).
QString recommendedChoice(const ResultTable& table, int row);

// A text of several lines on one line, its lines joined by "; ".
QString oneLine(const QString& text);

// What the extension change does with one row.
struct Conversion {
    enum Kind { Reset, Leave, Rename } kind = Leave;
    QString target;  // the new path, for Rename
};
Conversion planConversion(const ResultTable& table, int row);

// The name of a row's drop-down: "cmbExtension" followed by the file's id
// (its index in a list that had no rows removed). The window finds a row
// through the id the drop-down was made with, never from this name.
QString controlName(int fileId);

}  // namespace oxtarn
