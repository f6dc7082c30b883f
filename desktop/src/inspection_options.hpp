// The inspection choices (sample length, method, and whether the current
// formats are asked for too) and where they are kept: section "app" of
// "data.ini", keys SearchByte and SearchMode, each stored as the position of
// the chosen item in its menu, and CurrentFormats (1 or 0). The same section
// keeps the window's size and the grid's column widths.
#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

#include "profile_file.hpp"
#include "zarvo32.h"

namespace oxtarn::options {

inline constexpr std::array<int, 6> kSampleLengths{256, 512, 1000, 2000, 3000, 6000};
// The fourth method stores 3 and passes 4: positions are stored, not bits.
inline constexpr std::array<std::uint32_t, 4> kMethodBits{0, ZARVO_MACBINARY, ZARVO_FOOTER, ZARVO_SPECIAL};

inline const QByteArray kSection = "app";
inline const QByteArray kSampleKey = "SearchByte";
inline const QByteArray kMethodKey = "SearchMode";
inline const QByteArray kCurrentFormatsKey = "CurrentFormats";
inline const QByteArray kWindowWidthKey = "WindowWidth";
inline const QByteArray kWindowHeightKey = "WindowHeight";
inline const QByteArray kColumnWidthsKey = "ColumnWidths";
inline const QString kFileName = QStringLiteral("data.ini");

QStringList sampleLengthCaptions();
QStringList methodCaptions();
QString currentFormatsCaption();

// The option bits of a method position, with the current-formats bit when asked for.
std::uint32_t optionBits(int methodPosition, bool currentFormats);

// The stored positions that name an item; out-of-range values give nothing.
struct StoredChoices {
    std::optional<int> sampleLength;
    std::optional<int> method;
};
StoredChoices readStoredChoices(const ProfileFile& file);

bool storeSampleLength(const ProfileFile& file, int position);
bool storeMethod(const ProfileFile& file, int position);

// On unless the file says 0.
bool readCurrentFormats(const ProfileFile& file);
bool storeCurrentFormats(const ProfileFile& file, bool on);

// The window's size and the column widths as last left; an empty size or
// list when not stored (or not usable).
struct WindowLayout {
    QSize size;
    QList<int> columnWidths;
};
WindowLayout readWindowLayout(const ProfileFile& file, int columnCount);
bool storeWindowLayout(const ProfileFile& file, const WindowLayout& layout);

// "data.ini" beside the program while it can be written there; otherwise in
// the user's configuration folder.
QString settingsPath(const QString& programDir, const QString& userConfigDir);

}  // namespace oxtarn::options
