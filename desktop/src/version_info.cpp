#include "version_info.hpp"

#include "deployment.hpp"
#include "texts.hpp"

namespace oxtarn {

namespace {
constexpr std::uint32_t kJapanese = 0x0411;
constexpr std::uint32_t kCodePage932 = 932;

QString stringPath(std::uint32_t translation, const QString& key) {
    const QString language = QString::number(translation & 0xFFFF, 16).toUpper().rightJustified(4, u'0');
    const QString codePage = QString::number(translation >> 16, 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("\\StringFileInfo\\") + language + codePage + u'\\' + key;
}
}  // namespace

const QStringList& versionKeys() {
    static const QStringList keys{
        QStringLiteral("Comments"),         QStringLiteral("CompanyName"),    QStringLiteral("FileDescription"),
        QStringLiteral("FileVersion"),      QStringLiteral("InternalName"),   QStringLiteral("LegalCopyright"),
        QStringLiteral("LegalTrademarks"),  QStringLiteral("OriginalFilename"), QStringLiteral("PrivateBuild"),
        QStringLiteral("ProductName"),      QStringLiteral("ProductVersion"), QStringLiteral("SpecialBuild")};
    return keys;
}

VersionResource VersionResource::compiledIn() {
    VersionResource resource;
    const std::uint32_t translation = kJapanese | (kCodePage932 << 16);
    resource.translations << translation;
    for (const auto& entry : deployment::kVersionValues)
        if (*entry.value) resource.strings.insert(stringPath(translation, QString::fromUtf8(entry.key)), QString::fromUtf8(entry.value));
    return resource;
}

VersionInfoError::VersionInfoError() : std::runtime_error(text::kVersionInfoFailed.toStdString()) {}

QString VersionInfo::value(int index) const {
    if (!resource_) return {};
    if (resource_->translations.isEmpty()) throw VersionInfoError();
    if (index < 0 || index >= versionKeys().size()) return {};
    return resource_->strings.value(stringPath(resource_->translations.first(), versionKeys()[index]));
}

}  // namespace oxtarn
