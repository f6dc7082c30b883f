// Identification off the window's thread. A run takes a list of requests
// and answers them in their order, a few at a time, on the thread that owns
// the checker; the checksums of large files are computed on a thread of their
// own and arrive later, so that no file holds up the list. The engine's core
// is reentrant and its C interface guards itself, so both threads call it
// freely.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "engine_binding.hpp"

namespace oxtarn {

struct CheckRequest {
    QString path;
    bool expandFolder = false;  // a folder stands for every file below it
    bool recheck = false;       // the path is listed already: its row is to be refreshed
};

struct CheckAnswer {
    enum Kind { Identified, Unreadable, Skipped };  // Skipped: a folder, not listed
    QString path;  // absolute, with the system's separators
    Kind kind = Skipped;
    bool recheck = false;
    tFileInfoData info;   // as the engine answered (unchanged when it did not)
    QString crc16, crc32;  // empty while they are computed later, or when there is no engine
    bool checksumsLater = false;
    QString reason;  // why an unreadable file could not be read
};

class FileChecker : public QObject {
    Q_OBJECT
public:
    // Files up to this size get their checksums with their answer.
    static constexpr qint64 kInlineChecksumLimit = 8 * 1024 * 1024;

    explicit FileChecker(QObject* parent = nullptr);
    // Stops the work and waits for what cannot be stopped mid-file.
    ~FileChecker() override;

    // Starts a run with the engine's settings as they are now; later changes
    // of `engine` do not reach it. Only while no run is going.
    void start(const EngineBinding& engine, QList<CheckRequest> requests);
    // Stops the run after the file in hand; its remaining answers and
    // pending checksums are dropped. finished() follows.
    void cancel();
    bool isRunning() const { return running_; }
    // Whether a checksum is being computed or waits to be.
    bool checksumsPending() const;

signals:
    // Answers in request order; `done` of `total` requests so far (a folder's
    // files add to the total).
    void answered(const QList<CheckAnswer>& answers, int done, int total);
    void checksumsReady(const QString& path, const QString& crc16, const QString& crc32);
    void finished(bool cancelled);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    bool running_ = false;
};

// What one request yields for one path (no folder expansion): run on any thread.
CheckAnswer checkFile(const EngineBinding& engine, const QString& path, bool recheck, bool checksumsNow);

}  // namespace oxtarn
