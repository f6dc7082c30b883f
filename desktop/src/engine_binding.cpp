#include "engine_binding.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QStringDecoder>
#include <QThread>

#include <array>

#include "zarvo32.h"

namespace oxtarn {

namespace {

static_assert(sizeof(ZarvoRecord) == 1280, "the result record is 1280 bytes");

using GetVersionFn = int32_t(ZARVO_CALL*)();
using GetCrcFn = uint32_t(ZARVO_CALL*)(const char*);
using GetInfoFn = int32_t(ZARVO_CALL*)(const char*, int32_t, ZarvoRecord*, uint32_t);
using SetErrorReportFn = void(ZARVO_CALL*)(ZarvoErrorReport);

EngineBinding::ErrorReport& errorReport() {
    static EngineBinding::ErrorReport report;
    return report;
}

thread_local EngineBinding::ReportCapture* t_capture = nullptr;

bool onUserInterfaceThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// The engine calls this when a file cannot be opened; the text is the
// system's own message, in the system's encoding.
void ZARVO_CALL reportThunk(const char* text, const char* caption) {
    const QString message = QString::fromLocal8Bit(text ? text : "");
    if (t_capture) {
        t_capture->text = message;
        return;
    }
    if (!onUserInterfaceThread()) return;  // no message box away from the window's thread
    if (const auto& report = errorReport()) report(message, QString::fromLocal8Bit(caption ? caption : ""));
}

}  // namespace

QString fromEngineText(const QByteArray& sjis) {
    QStringDecoder decoder("windows-932");
    if (!decoder.isValid()) decoder = QStringDecoder("Shift_JIS");
    if (!decoder.isValid()) return QString::fromLatin1(sjis);
    return decoder.decode(sjis);
}

QByteArray readField(const char* field, int size) {
    int n = 0;
    while (n < size && field[n] != '\0') ++n;
    return QByteArray(field, n);
}

QByteArray enginePath(const QString& path) { return QFile::encodeName(QDir::toNativeSeparators(path)); }

QString crc16Text(std::uint32_t value) { return QString::number(value, 16).toUpper().rightJustified(4, u'0'); }

QString crc32Text(std::uint32_t value) { return QString::number(value, 16).toUpper().rightJustified(8, u'0'); }

QString versionText(int version) {
    const qint64 v = version;
    const qint64 magnitude = v < 0 ? -v : v;
    QString text = QString::number(magnitude / 100);
    QString cents = QString::number(magnitude % 100).rightJustified(2, u'0');
    while (cents.endsWith(u'0')) cents.chop(1);
    if (!cents.isEmpty()) text += u'.' + cents;
    return v < 0 ? u'-' + text : text;
}

EngineBinding::EngineBinding(QStringList libraries) : libraries_(std::move(libraries)) {}

QStringList EngineBinding::defaultLibraries() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/Zarvo32"), QStringLiteral("Zarvo32")};
}

void EngineBinding::setErrorReport(ErrorReport report) { errorReport() = std::move(report); }

EngineBinding::ReportCapture::ReportCapture() : outer_(t_capture) { t_capture = this; }
EngineBinding::ReportCapture::~ReportCapture() { t_capture = outer_; }

EngineBinding EngineBinding::bound() const {
    EngineBinding binding = *this;
    for (const QString& file : libraries_) {
        auto library = std::make_shared<QLibrary>(file);
        if (!library->load()) continue;
        if (auto setReport = reinterpret_cast<SetErrorReportFn>(library->resolve("ZarvoSetErrorReport")))
            setReport(reportThunk);
        binding.held_ = std::shared_ptr<QLibrary>(library.get(), [library](QLibrary*) { library->unload(); });
        return binding;
    }
    return binding;
}

bool EngineBinding::withFunction(const char* name, const std::function<void(void*)>& call) const {
    if (held_) {
        QFunctionPointer fn = held_->resolve(name);
        if (fn) call(reinterpret_cast<void*>(fn));
        return fn != nullptr;
    }
    for (const QString& file : libraries_) {
        QLibrary library(file);
        if (!library.load()) continue;
        // A fresh load starts without our report function: install it first.
        if (auto setReport = reinterpret_cast<SetErrorReportFn>(library.resolve("ZarvoSetErrorReport")))
            setReport(reportThunk);
        QFunctionPointer fn = library.resolve(name);
        if (fn) call(reinterpret_cast<void*>(fn));
        library.unload();
        return fn != nullptr;
    }
    return false;
}

int EngineBinding::version() const {
    int version = 0;
    withFunction("ZarvoGetVersion", [&](void* fn) { version = reinterpret_cast<GetVersionFn>(fn)(); });
    return version;
}

QString EngineBinding::fileCrc16Text(const QString& path) const {
    QString text;
    const QByteArray native = enginePath(path);
    withFunction("ZarvoGetFileCRC",
                 [&](void* fn) { text = crc16Text(reinterpret_cast<GetCrcFn>(fn)(native.constData())); });
    return text;
}

QString EngineBinding::fileCrc32Text(const QString& path) const {
    QString text;
    const QByteArray native = enginePath(path);
    withFunction("ZarvoGetFileCRC32",
                 [&](void* fn) { text = crc32Text(reinterpret_cast<GetCrcFn>(fn)(native.constData())); });
    return text;
}

bool EngineBinding::identify(const QString& path, tFileInfoData& info) const {
    const QByteArray native = enginePath(path);
    return withFunction("ZarvoGetInfo", [&](void* fn) {
        ZarvoRecord record{};  // cleared to zero bytes before each call
        reinterpret_cast<GetInfoFn>(fn)(native.constData(), sampleLength_, &record, options_);
        info.extension = fromEngineText(readField(record.extension, sizeof record.extension));
        info.description = fromEngineText(readField(record.description, sizeof record.description));
        info.detail = fromEngineText(readField(record.detail, sizeof record.detail));
    });
}

}  // namespace oxtarn
