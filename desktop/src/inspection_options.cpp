#include "inspection_options.hpp"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace oxtarn::options {

QStringList sampleLengthCaptions() {
    QStringList captions;
    for (int length : kSampleLengths) captions << QString::number(length);
    return captions;
}

QStringList methodCaptions() {
    return {QStringLiteral("普通に調べる"), QStringLiteral("マックバイナリで調べる"), QStringLiteral("フッター判別する"),
            QStringLiteral("特殊判別する")};
}

QString currentFormatsCaption() { return QStringLiteral("新しい形式も判定する"); }

std::uint32_t optionBits(int methodPosition, bool currentFormats) {
    const std::uint32_t method =
        methodPosition >= 0 && methodPosition < int(kMethodBits.size()) ? kMethodBits[methodPosition] : 0;
    return method | (currentFormats ? std::uint32_t(ZARVO_CURRENT) : 0u);
}

StoredChoices readStoredChoices(const ProfileFile& file) {
    StoredChoices choices;
    const int length = file.readInt(kSection, kSampleKey, 0);
    if (length >= 0 && length < int(kSampleLengths.size())) choices.sampleLength = length;
    const int method = file.readInt(kSection, kMethodKey, 0);
    if (method >= 0 && method < int(kMethodBits.size())) choices.method = method;
    return choices;
}

bool storeSampleLength(const ProfileFile& file, int position) {
    return file.write(kSection, kSampleKey, QByteArray::number(position));
}

bool storeMethod(const ProfileFile& file, int position) {
    return file.write(kSection, kMethodKey, QByteArray::number(position));
}

bool readCurrentFormats(const ProfileFile& file) { return file.readInt(kSection, kCurrentFormatsKey, 1) != 0; }

bool storeCurrentFormats(const ProfileFile& file, bool on) {
    return file.write(kSection, kCurrentFormatsKey, on ? "1" : "0");
}

WindowLayout readWindowLayout(const ProfileFile& file, int columnCount) {
    WindowLayout layout;
    const int width = file.readInt(kSection, kWindowWidthKey, 0);
    const int height = file.readInt(kSection, kWindowHeightKey, 0);
    if (width >= 200 && height >= 120 && width <= 20000 && height <= 20000) layout.size = QSize(width, height);
    const QList<QByteArray> widths = file.read(kSection, kColumnWidthsKey).value_or(QByteArray()).split(',');
    if (widths.size() == columnCount) {
        for (const QByteArray& text : widths) {
            bool ok = false;
            const int w = text.trimmed().toInt(&ok);
            if (!ok || w < 8 || w > 5000) return {layout.size, {}};  // all or none
            layout.columnWidths << w;
        }
    }
    return layout;
}

bool storeWindowLayout(const ProfileFile& file, const WindowLayout& layout) {
    bool ok = true;
    if (layout.size.isValid()) {
        ok = file.write(kSection, kWindowWidthKey, QByteArray::number(layout.size.width())) && ok;
        ok = file.write(kSection, kWindowHeightKey, QByteArray::number(layout.size.height())) && ok;
    }
    if (!layout.columnWidths.isEmpty()) {
        QByteArrayList widths;
        for (int w : layout.columnWidths) widths << QByteArray::number(w);
        ok = file.write(kSection, kColumnWidthsKey, widths.join(',')) && ok;
    }
    return ok;
}

namespace {
// Whether a file can be created in `dir`: tried, since permission bits do
// not tell the whole story on every system.
bool acceptsNewFiles(const QString& dir) {
    if (!QFileInfo(dir).isDir()) return false;
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".oxtarn-XXXXXX")));
    return probe.open();
}
}  // namespace

QString settingsPath(const QString& programDir, const QString& userConfigDir) {
    const QString beside = QDir(programDir).filePath(kFileName);
    const QFileInfo file(beside);
    const bool writable = file.exists() ? file.isWritable() : acceptsNewFiles(programDir);
    return writable ? beside : QDir(userConfigDir).filePath(kFileName);
}

}  // namespace oxtarn::options
