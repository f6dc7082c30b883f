// The list as text for other programs: CSV for a file, tab-separated lines
// for the clipboard.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace oxtarn {

// UTF-8 with a byte order mark (so that spreadsheet programs read the
// Japanese), CR LF line ends, a field quoted when it holds a comma, a quote,
// a line break or a blank at either end, its quotes doubled.
QByteArray csvDocument(const QList<QStringList>& rows);

// One line per row, fields separated by tabs; tabs and line breaks inside a
// field become blanks.
QString tabSeparated(const QList<QStringList>& rows);

}  // namespace oxtarn
