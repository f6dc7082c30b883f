// A settings file in the INI format ("[section]" lines, "key=value" lines),
// read and written the way the Windows profile functions do it: every read
// looks at the file as it is now, and a write changes one line, or adds one,
// leaving every other line of the file (comments, other sections and keys,
// line ends) exactly as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace oxtarn {

class ProfileFile {
public:
    explicit ProfileFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // The value of `key` in `section` (both compared ignoring ASCII case),
    // blanks and one pair of enclosing quotes removed; nothing when the file,
    // the section or the key is missing.
    std::optional<QByteArray> read(const QByteArray& section, const QByteArray& key) const;
    // The value as a decimal integer; `fallback` when missing or not a number.
    int readInt(const QByteArray& section, const QByteArray& key, int fallback) const;

    // Sets `key` in `section` to `value`, creating the file (and its folder),
    // the section or the key as needed. The file is replaced as a whole only
    // once the new content is written. False when it cannot be written.
    bool write(const QByteArray& section, const QByteArray& key, const QByteArray& value) const;

private:
    QString path_;
};

}  // namespace oxtarn
