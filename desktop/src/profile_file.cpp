#include "profile_file.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

namespace oxtarn {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// One line of the file without its line end; `body` is what the parser looks at.
struct Line {
    QByteArray text;
    QByteArray body() const { return text.trimmed(); }
};

struct Parsed {
    QList<Line> lines;
    QByteArray lineEnd;
    bool endsWithLineEnd = true;
};

Parsed parse(const QByteArray& content) {
    Parsed parsed;
#ifdef Q_OS_WIN
    parsed.lineEnd = "\r\n";
#else
    parsed.lineEnd = "\n";
#endif
    if (content.contains("\r\n")) parsed.lineEnd = "\r\n";
    if (content.isEmpty()) return parsed;
    QList<QByteArray> raw = content.split('\n');
    parsed.endsWithLineEnd = raw.last().isEmpty();
    if (parsed.endsWithLineEnd) raw.removeLast();
    for (QByteArray& text : raw) {
        if (text.endsWith('\r')) text.chop(1);
        parsed.lines.append({text});
    }
    return parsed;
}

// The section name of a "[name]" line.
std::optional<QByteArray> sectionName(QByteArray body) {
    if (body.startsWith(kUtf8Mark)) body = body.mid(kUtf8Mark.size()).trimmed();
    if (!body.startsWith('[')) return std::nullopt;
    const qsizetype close = body.indexOf(']');
    if (close < 0) return std::nullopt;
    return body.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line; comment lines have none.
std::optional<QByteArray> keyName(const QByteArray& body) {
    if (body.startsWith(';')) return std::nullopt;
    const qsizetype eq = body.indexOf('=');
    if (eq <= 0) return std::nullopt;
    return body.left(eq).trimmed();
}

bool sameName(const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

struct Place {
    qsizetype section = -1;  // index of the section line
    qsizetype key = -1;      // index of the key line
    qsizetype end = -1;      // index after the section's last non-blank line
};

Place find(const Parsed& parsed, const QByteArray& section, const QByteArray& key) {
    Place place;
    for (qsizetype i = 0; i < parsed.lines.size(); ++i) {
        const QByteArray body = parsed.lines[i].body();
        if (auto name = sectionName(body)) {
            if (place.section >= 0) break;  // the first section of that name counts
            if (sameName(*name, section)) {
                place.section = i;
                place.end = i + 1;
            }
            continue;
        }
        if (place.section < 0) continue;
        if (!body.isEmpty()) place.end = i + 1;
        if (auto name = keyName(body); name && place.key < 0 && sameName(*name, key)) place.key = i;
    }
    return place;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace

std::optional<QByteArray> ProfileFile::read(const QByteArray& section, const QByteArray& key) const {
    const Parsed parsed = parse(readAll(path_));
    const Place place = find(parsed, section, key);
    if (place.key < 0) return std::nullopt;
    const QByteArray body = parsed.lines[place.key].body();
    QByteArray value = body.mid(body.indexOf('=') + 1).trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

int ProfileFile::readInt(const QByteArray& section, const QByteArray& key, int fallback) const {
    const auto value = read(section, key);
    if (!value) return fallback;
    // Leading digits count, as the profile functions read them: "3 ; note" is 3.
    qsizetype n = 0;
    if (n < value->size() && ((*value)[n] == '-' || (*value)[n] == '+')) ++n;
    const qsizetype digits = n;
    while (n < value->size() && (*value)[n] >= '0' && (*value)[n] <= '9') ++n;
    if (n == digits) return fallback;
    bool ok = false;
    const int number = value->left(n).toInt(&ok);
    return ok ? number : fallback;
}

bool ProfileFile::write(const QByteArray& section, const QByteArray& key, const QByteArray& value) const {
    Parsed parsed = parse(readAll(path_));
    const Place place = find(parsed, section, key);
    if (place.key >= 0) {
        Line& line = parsed.lines[place.key];
        const qsizetype eq = line.text.indexOf('=');
        line.text = line.text.left(eq + 1) + value;  // keeps the key's spelling and indentation
    } else if (place.section >= 0) {
        parsed.lines.insert(place.end, {key + '=' + value});
    } else {
        parsed.lines.append({'[' + section + ']'});
        parsed.lines.append({key + '=' + value});
        parsed.endsWithLineEnd = true;
    }
    QByteArray content;
    for (qsizetype i = 0; i < parsed.lines.size(); ++i) {
        content += parsed.lines[i].text;
        if (i + 1 < parsed.lines.size() || parsed.endsWithLineEnd) content += parsed.lineEnd;
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    file.setDirectWriteFallback(true);  // a writable file in a folder that takes no new files
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(content);
    return file.commit();
}

}  // namespace oxtarn
