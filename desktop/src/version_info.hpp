// The program's own version information, read by key as from a version
// resource: a translation table names the language and code page, and each
// value lives under "\StringFileInfo\<language><code page>\<key>".
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace oxtarn {

// Index: key. The about box uses 9 (product name) and 10 (product version).
const QStringList& versionKeys();
enum VersionKey { kProductName = 9, kProductVersion = 10 };

struct VersionResource {
    // Each entry: language in the low 16 bits, code page in the high 16 bits.
    QList<std::uint32_t> translations;
    QHash<QString, QString> strings;  // by full path

    // The data compiled into this program (Japanese, code page 932).
    static VersionResource compiledIn();
};

// Raised when a resource has no translation table.
class VersionInfoError : public std::runtime_error {
public:
    VersionInfoError();
};

class VersionInfo {
public:
    // No resource at all: every value is empty text.
    explicit VersionInfo(std::optional<VersionResource> resource) : resource_(std::move(resource)) {}

    // The value of key `index`; empty text when there is no resource, no such
    // key or no value. Throws VersionInfoError without a translation table.
    QString value(int index) const;

private:
    std::optional<VersionResource> resource_;
};

}  // namespace oxtarn
