// File system operations of the extension change.
#pragma once

#include <QString>

namespace oxtarn {

// Renames `from` to `to` without ever replacing an existing file. On
// failure returns false and puts the system's reason into `error`.
bool renameNoReplace(const QString& from, const QString& to, QString* error);

}  // namespace oxtarn
