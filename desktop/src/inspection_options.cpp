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
