// Helpers of the desktop tests.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringEncoder>

#include "message_sink.hpp"

namespace oxtarn::testing {

// Answers message boxes from a script (OK when the script is used up) and
// keeps what they said.
class ScriptedSink : public MessageSink {
public:
    struct Shown {
        Icon icon;
        QString caption;
        QString text;
        Buttons buttons;
    };
    QList<Shown> shown;
    QList<Answer> answers;

    Answer show(Icon icon, const QString& caption, const QString& text, Buttons buttons) override {
        shown.append({icon, caption, text, buttons});
        return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
    }
    QStringList texts() const {
        QStringList list;
        for (const Shown& s : shown) list << s.text;
        return list;
    }
};

// The Shift-JIS bytes of a text, as the engine writes them.
inline QByteArray sj(const QString& text) {
    QStringEncoder encoder("windows-932");
    return encoder.encode(text);
}

inline QString writeFile(const QDir& dir, const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(content);
    return path;
}

// Reads CSV as a spreadsheet program would: quoted fields may hold commas,
// doubled quotes and line breaks; records end with CR LF.
inline QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') field += u'"', ++i;
            else if (c == u'"') quoted = false;
            else field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            field.clear();
            rows << row;
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace oxtarn::testing
