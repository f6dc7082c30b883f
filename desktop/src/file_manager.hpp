// Showing a file in the desktop's file manager.
#pragma once

#include <QString>

namespace oxtarn {

// Asks the file manager, through its standard D-Bus interface, to show the
// file selected in its folder; false when there is no such service (or no
// D-Bus in this build), so that the caller can open the folder instead.
bool showFileInFileManager(const QString& path);

}  // namespace oxtarn
