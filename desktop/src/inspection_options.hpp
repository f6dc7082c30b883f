// The two inspection choices (sample length and method) and where they are
// kept: section "app" of "data.ini", keys SearchByte and SearchMode, each
// stored as the position of the chosen item in its menu.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

#include "profile_file.hpp"

namespace oxtarn::options {

inline constexpr std::array<int, 6> kSampleLengths{256, 512, 1000, 2000, 3000, 6000};
// The fourth method stores 3 and passes 4: positions are stored, not bits.
inline constexpr std::array<std::uint32_t, 4> kMethodBits{0, 1, 2, 4};

inline const QByteArray kSection = "app";
inline const QByteArray kSampleKey = "SearchByte";
inline const QByteArray kMethodKey = "SearchMode";
inline const QString kFileName = QStringLiteral("data.ini");

QStringList sampleLengthCaptions();
QStringList methodCaptions();

// The stored positions that name an item; out-of-range values give nothing.
struct StoredChoices {
    std::optional<int> sampleLength;
    std::optional<int> method;
};
StoredChoices readStoredChoices(const ProfileFile& file);

bool storeSampleLength(const ProfileFile& file, int position);
bool storeMethod(const ProfileFile& file, int position);

// "data.ini" beside the program while it can be written there; otherwise in
// the user's configuration folder.
QString settingsPath(const QString& programDir, const QString& userConfigDir);

}  // namespace oxtarn::options
