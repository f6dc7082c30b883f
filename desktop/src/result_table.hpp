// The texts of the result grid: row 0 holds the headers, file n (from 0) is
// row n + 1, and there is always at least one row below the header. The
// window shows these texts; the check box of column 0 and the drop-down of
// column 3 follow their cells ("1"/"0" and the chosen entry).
#pragma once

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

private:
    struct Row {
        std::array<QString, kColumnCount> cells;
        QStringList choices;
    };
    QList<Row> rows_;
    int files_ = 0;
};

// The extension of a path as column 2 shows it: the text after the last "."
// of the file name; empty when the name has none.
QString presentExtension(const QString& path);

// The path of a file renamed to extension `ext`: its extension (from the
// name's last ".") replaced, or ".ext" appended when it has none.
QString pathWithExtension(const QString& path, const QString& ext);

// The drop-down entries for an engine answer: its candidates, then "変換なし".
QStringList choicesFor(const QString& engineExtensions);

// What the extension change does with one row.
struct Conversion {
    enum Kind { Reset, Leave, Rename } kind = Leave;
    QString target;  // the new path, for Rename
};
Conversion planConversion(const ResultTable& table, int row);

// The row of a drop-down from its name "cmbExtension" + file index; -1
// when the name holds no number.
int rowOfControlName(const QString& name);
QString controlName(int row);

}  // namespace oxtarn
