// The binding of the identification engine. The program does not link the
// engine: every question loads the library by name, finds the function,
// calls it and unloads the library again, so a replaced library takes effect
// at the next question and a missing one only leaves answers empty.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QLibrary;

namespace oxtarn {

// What the engine tells about one file, converted for display.
struct tFileInfoData {
    QString extension;    // one extension, a comma-separated candidate list, or "?"
    QString description;  // the kind's description with its category label
    QString detail;       // level, codec summary, title, ...
};

// An engine text (Shift-JIS bytes) as Unicode.
QString fromEngineText(const QByteArray& sjis);
// A zero-ended text field of `size` bytes: up to the first zero byte, never beyond the field.
QByteArray readField(const char* field, int size);
// A path as the engine takes it: the file system's own encoding.
QByteArray enginePath(const QString& path);

// Checksum texts: uppercase hexadecimal of at least 4 and 8 digits.
QString crc16Text(std::uint32_t value);
QString crc32Text(std::uint32_t value);
// The engine version as the status bar shows it: 121 gives "1.21", 120 "1.2".
QString versionText(int version);

class EngineBinding {
public:
    // Shows the engine's error report (system error text, caption "Error").
    using ErrorReport = std::function<void(const QString& text, const QString& caption)>;

    // `libraries`: the names tried in order, each as QLibrary takes it
    // (without prefix or suffix); the first that loads is used.
    explicit EngineBinding(QStringList libraries);

    // The program's folder first, then the system's search order.
    static QStringList defaultLibraries();

    // 0 when the library or the function is missing.
    int version() const;
    // Empty texts when the library or the function is missing.
    QString fileCrc16Text(const QString& path) const;
    QString fileCrc32Text(const QString& path) const;
    // Fills `info`; leaves it unchanged and returns false when the library or
    // the function is missing.
    bool identify(const QString& path, tFileInfoData& info) const;

    int sampleLength() const { return sampleLength_; }
    void setSampleLength(int length) { sampleLength_ = length; }
    std::uint32_t options() const { return options_; }
    void setOptions(std::uint32_t options) { options_ = options; }

    // Installed into the engine at every load; an empty function shows nothing.
    // It is called on the user-interface thread only: a report that arises on
    // another thread goes to that thread's ReportCapture, or nowhere.
    static void setErrorReport(ErrorReport report);

    // While one exists, the engine's reports on this thread are kept in
    // `text` instead of being shown.
    class ReportCapture {
    public:
        ReportCapture();
        ~ReportCapture();
        ReportCapture(const ReportCapture&) = delete;
        ReportCapture& operator=(const ReportCapture&) = delete;
        QString text;  // the last report; empty when there was none

    private:
        ReportCapture* outer_;
    };

    // A binding that keeps the library loaded while it (or a copy) lives and
    // asks it every question, so that a long run does not load it afresh for
    // each; the next run binds again, so a replaced library takes effect
    // then. When no library loads, the binding is returned as it is.
    EngineBinding bound() const;

private:
    // Loads the library, finds `name` and hands it to `call`; false when either is missing.
    bool withFunction(const char* name, const std::function<void(void*)>& call) const;

    QStringList libraries_;
    std::shared_ptr<QLibrary> held_;
    int sampleLength_ = 256;
    std::uint32_t options_ = 0;
};

}  // namespace oxtarn
