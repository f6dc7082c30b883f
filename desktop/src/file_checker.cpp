#include "file_checker.hpp"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "texts.hpp"

namespace oxtarn {

namespace {

// How often answers are handed over: often enough for the list to grow
// visibly, seldom enough for the window to add them in blocks.
constexpr qint64 kHandOverMs = 40;
constexpr int kHandOverCount = 1000;

// Every file below `folder`, in name order; symbolic links to folders are
// not followed, so a loop of links ends.
QStringList filesBelow(const QString& folder, const std::atomic<bool>& cancelled) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && !cancelled) files << it.next();
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

CheckAnswer checkFile(const EngineBinding& engine, const QString& path, bool recheck, bool checksumsNow) {
    CheckAnswer answer;
    answer.path = QDir::toNativeSeparators(path);
    answer.recheck = recheck;
    const QFileInfo info(path);
    if (info.isDir()) return answer;  // Skipped
    answer.kind = CheckAnswer::Unreadable;
    if (info.exists() && !info.isFile()) {
        // A pipe or a device could hold the reading thread forever.
        answer.reason = text::kNotAFile;
        return answer;
    }
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            answer.reason = file.errorString();
            return answer;
        }
    }
    EngineBinding::ReportCapture capture;
    engine.identify(path, answer.info);
    if (!capture.text.isEmpty()) {  // the engine could not open it after all
        answer.reason = capture.text;
        answer.info = {};
        return answer;
    }
    answer.kind = CheckAnswer::Identified;
    if (checksumsNow) {
        answer.crc16 = engine.fileCrc16Text(path);
        answer.crc32 = engine.fileCrc32Text(path);
    } else {
        answer.checksumsLater = true;
    }
    return answer;
}

struct FileChecker::Shared {
    std::atomic<bool> cancelRun{false};
    std::unique_ptr<QThread> runThread;
    int generation = 0;  // on the owner's thread only

    // The checksum queue, served by a thread of its own.
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<EngineBinding, QString>> sums;
    bool summing = false;
    bool quit = false;
    std::unique_ptr<QThread> sumThread;
};

FileChecker::FileChecker(QObject* parent) : QObject(parent), shared_(std::make_shared<Shared>()) {}

FileChecker::~FileChecker() {
    shared_->cancelRun = true;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->quit = true;
        shared_->sums.clear();
    }
    shared_->wake.notify_all();
    if (shared_->runThread) shared_->runThread->wait();
    if (shared_->sumThread) shared_->sumThread->wait();
}

bool FileChecker::checksumsPending() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->summing || !shared_->sums.empty();
}

void FileChecker::start(const EngineBinding& engine, QList<CheckRequest> requests) {
    if (running_) return;
    if (shared_->runThread) shared_->runThread->wait();
    running_ = true;
    shared_->cancelRun = false;
    const int generation = ++shared_->generation;
    Shared* shared = shared_.get();
    FileChecker* self = this;

    if (!shared->sumThread) {
        shared->sumThread.reset(QThread::create([shared, self] {
            for (;;) {
                std::pair<EngineBinding, QString> job{EngineBinding({}), QString()};
                {
                    std::unique_lock lock(shared->mutex);
                    shared->summing = false;
                    shared->wake.wait(lock, [shared] { return shared->quit || !shared->sums.empty(); });
                    if (shared->quit) return;
                    job = std::move(shared->sums.front());
                    shared->sums.pop_front();
                    shared->summing = true;
                }
                const QString crc16 = job.first.fileCrc16Text(job.second);
                const QString crc32 = job.first.fileCrc32Text(job.second);
                QMetaObject::invokeMethod(
                    self, [self, path = QDir::toNativeSeparators(job.second), crc16, crc32] {
                        emit self->checksumsReady(path, crc16, crc32);
                    },
                    Qt::QueuedConnection);
            }
        }));
        shared->sumThread->start();
    }

    shared->runThread.reset(QThread::create([shared, self, generation, unbound = engine, requests = std::move(requests)]() mutable {
        const EngineBinding engine = unbound.bound();
        QList<CheckAnswer> ready;
        int done = 0;
        int total = int(requests.size());
        QElapsedTimer sinceHandOver;
        sinceHandOver.start();
        auto handOver = [&] {
            QMetaObject::invokeMethod(
                self, [self, shared, generation, answers = std::move(ready), done, total] {
                    if (shared->generation == generation) emit self->answered(answers, done, total);
                },
                Qt::QueuedConnection);
            ready.clear();
            sinceHandOver.restart();
        };
        for (int i = 0; i < requests.size() && !shared->cancelRun; ++i) {
            const CheckRequest request = requests[i];
            const QString path = QDir::isRelativePath(request.path) ? QDir::current().absoluteFilePath(request.path)
                                                                    : request.path;
            if (request.expandFolder && QFileInfo(path).isDir()) {
                QList<CheckRequest> below;
                for (const QString& file : filesBelow(path, shared->cancelRun)) below.append({file, false, false});
                requests.insert(i + 1, below.size(), CheckRequest{});
                std::copy(below.begin(), below.end(), requests.begin() + i + 1);
                total += int(below.size());
                ++done;
                continue;
            }
            const bool small = QFileInfo(path).size() <= kInlineChecksumLimit;
            CheckAnswer answer = checkFile(engine, path, request.recheck, small);
            if (answer.checksumsLater) {
                {
                    std::lock_guard lock(shared->mutex);
                    shared->sums.emplace_back(engine, path);
                }
                shared->wake.notify_one();
            }
            ready << std::move(answer);
            ++done;
            if (ready.size() >= kHandOverCount || sinceHandOver.elapsed() >= kHandOverMs) handOver();
        }
        if (!ready.isEmpty() || done == total) handOver();
        const bool cancelled = shared->cancelRun;
        QMetaObject::invokeMethod(
            self, [self, shared, generation, cancelled] {
                if (shared->generation != generation) return;
                self->running_ = false;
                emit self->finished(cancelled);
            },
            Qt::QueuedConnection);
    }));
    shared->runThread->start();
}

void FileChecker::cancel() {
    if (!running_) return;
    shared_->cancelRun = true;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->sums.clear();
    }
    shared_->runThread->wait();  // at most the file in hand
    ++shared_->generation;       // what the run still handed over is dropped
    running_ = false;
    emit finished(true);
}

}  // namespace oxtarn
