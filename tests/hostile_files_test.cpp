// Odd and hostile files: folders, pipes, sockets, devices, unreadable and
// changing files, huge sparse files, odd names and over-long paths. Each
// gives a defined answer at once, through the exported interface and the
// core alike, and the engine keeps working afterwards.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "chain.hpp"
#include "crc.hpp"
#include "identify.hpp"
#include "platform/platform.hpp"
#include "refine/refine.hpp"
#include "sample.hpp"
#include "support.hpp"
#include "zarvo32.h"

using namespace std::chrono_literals;
using oxtarn::test::bytes;
using oxtarn::test::expected;
using oxtarn::test::info;
using oxtarn::test::Record;
using oxtarn::test::TempDir;

namespace {

const Record kEmpty{"?", "", ""};
const std::string kZip = bytes("504B0304 14000000 0800") + std::string(100, 'z');
const char kZipList[] = "zip,jar,wmz,wsz,nar";

// Ends the test program when the test has not finished in time: a call that
// hangs must fail the suite, not stall it.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock lock(m_);
              if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "%s: still running after %llds, taken as a hang\n",
                               ::testing::UnitTest::GetInstance()->current_test_info()->name(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(m_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

std::vector<std::pair<std::string, std::string>> g_reports;
void ZARVO_CALL keep_report(const char* text, const char* caption) { g_reports.emplace_back(text, caption); }

// The empty answer for `path` from both interfaces, with every option
// combination that matters here; unless quiet, exactly one error report
// per call. The checksums are 0.
void expect_empty_answer(const std::string& path, const std::string& label) {
    SCOPED_TRACE(label);
    for (std::uint32_t options : {8u, 8u | 4u, 8u | 1u | 2u | 4u}) {
        EXPECT_EQ(info(path, 256, options), kEmpty) << options;
        EXPECT_EQ(info(path, 40000, options), kEmpty) << options;
        zarvo::Result core = zarvo::to_result(zarvo::identify(path.c_str(), 256, options));
        EXPECT_EQ(core.extensions, "?");
        EXPECT_EQ(core.description, "");
        EXPECT_EQ(core.detail, "");
    }
    EXPECT_EQ(ZarvoGetFileCRC(path.c_str()), 0u);
    EXPECT_EQ(ZarvoGetFileCRC32(path.c_str()), 0u);
    EXPECT_EQ(zarvo::file_crc16(path.c_str()), 0u);
    EXPECT_EQ(zarvo::file_crc32(path.c_str()), 0u);

    ZarvoSetErrorReport(keep_report);
    g_reports.clear();
    EXPECT_EQ(info(path, 256, 0), kEmpty);
    EXPECT_EQ(info(path, 256, 4), kEmpty);
    ZarvoSetErrorReport(nullptr);
    ASSERT_EQ(g_reports.size(), 2u);
    for (const auto& [text, caption] : g_reports) {
        EXPECT_EQ(caption, "Error");
        EXPECT_FALSE(text.empty());
    }
}

// The engine still identifies an ordinary file.
void expect_still_working(const TempDir& dir) {
    std::string path = dir.write("still.zip", kZip);
    EXPECT_EQ(info(path), expected(kZipList));
    EXPECT_EQ(zarvo::to_result(zarvo::identify(path.c_str(), 256, 8)).extensions, kZipList);
}

// Runs `check` without the privileges of root, which reads every file: in
// a child process as the user nobody when this test runs as root. Returns
// false when the check failed; skips when privileges cannot be dropped.
enum class Outcome { kPassed, kFailed, kSkipped };
Outcome unprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check() ? Outcome::kPassed : Outcome::kFailed;
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return Outcome::kSkipped;
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(77);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return Outcome::kSkipped;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Outcome::kPassed : Outcome::kFailed;
}

// A chain of folders named `level` below `base`, made one level at a time
// so that no call sees the whole path, with a zip file at its bottom whose
// path is at least `length` bytes long. Removes itself the same way (the
// whole path is too long for the usual removal).
class DeepFile {
public:
    DeepFile(const std::string& base, char level, std::size_t length) : base_(base), level_(200, level) {
        path_ = base;
        int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
        while (path_.size() + 8 < length) {
            EXPECT_EQ(::mkdirat(fd, level_.c_str(), 0755), 0);
            int next = ::openat(fd, level_.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            path_ += "/" + level_;
            ++depth_;
        }
        int file = ::openat(fd, "f.zip", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_EQ(::write(file, kZip.data(), kZip.size()), static_cast<ssize_t>(kZip.size()));
        ::close(file);
        ::close(fd);
        path_ += "/f.zip";
    }
    ~DeepFile() {
        std::vector<int> fds{::open(base_.c_str(), O_RDONLY | O_DIRECTORY)};
        for (int i = 0; i < depth_; ++i) fds.push_back(::openat(fds.back(), level_.c_str(), O_RDONLY | O_DIRECTORY));
        ::unlinkat(fds.back(), "f.zip", 0);
        for (int i = depth_; i > 0; --i) {
            ::close(fds[i]);
            ::unlinkat(fds[i - 1], level_.c_str(), AT_REMOVEDIR);
        }
        ::close(fds[0]);
    }
    const std::string& path() const { return path_; }

private:
    std::string base_, level_, path_;
    int depth_ = 0;
};

}  // namespace

TEST(HostileFiles, NonRegularFilesGiveTheEmptyAnswerAtOnce) {
    Watchdog watchdog(120s);
    TempDir dir;
    std::string fifo = dir.path() + "/pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO with a writer that never writes: a read would wait forever.
    int writer_side = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer_side, 0);

    std::string socket_path = dir.path() + "/sock";
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(socket_path.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, socket_path.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(sock, 1), 0);

    std::string loop = dir.path() + "/loop";
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    std::string link_to_fifo = dir.path() + "/fifo-link.zip";
    ASSERT_EQ(::symlink(fifo.c_str(), link_to_fifo.c_str()), 0);

    struct Case {
        const char* label;
        std::string path;
    } cases[] = {
        {"folder", dir.path()},
        {"folder with a trailing slash", dir.path() + "/"},
        {"FIFO", fifo},
        {"link to a FIFO", link_to_fifo},
        {"socket", socket_path},
        {"symbolic link loop", loop},
        {"missing", dir.path() + "/missing.zip"},
        {"empty path", ""},
        {"/dev/zero", "/dev/zero"},
        {"/dev/urandom", "/dev/urandom"},
        {"/dev/null", "/dev/null"},
    };
    for (const Case& c : cases) expect_empty_answer(c.path, c.label);

    ::close(writer_side);
    ::close(sock);
    expect_still_working(dir);
}

TEST(HostileFiles, FifoWithAWaitingWriterIsNeverOpened) {
    // A writer blocked in open() waits for a reader: an engine that opened
    // the FIFO (even to close it at once) would wake it, and its data would
    // be lost or it would die of SIGPIPE.
    Watchdog watchdog(60s);
    TempDir dir;
    std::string fifo = dir.path() + "/waiting.zip";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> writer_opened{false};
    std::thread writer([&] {
        int fd = ::open(fifo.c_str(), O_WRONLY);  // blocks until a reader comes
        writer_opened = true;
        if (fd >= 0) {
            EXPECT_EQ(::write(fd, "kept", 4), 4);
            ::close(fd);
        }
    });
    std::this_thread::sleep_for(50ms);  // the writer is now waiting in open()
    EXPECT_EQ(info(fifo, 256, 8 | 2 | 4), kEmpty);
    EXPECT_EQ(zarvo::identify(fifo.c_str(), 256, 8).status, zarvo::Identification::Status::kOpenFailed);
    EXPECT_EQ(zarvo::file_checksums(fifo.c_str()).opened, false);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(writer_opened) << "the engine opened the FIFO";

    // The writer's data reaches the reader it was waiting for.
    int reader = ::open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 4);
    EXPECT_STREQ(got, "kept");
    ::close(reader);
    writer.join();
}

namespace {
std::atomic<int> g_reentrant_calls{0};
void ZARVO_CALL report_calling_back(const char*, const char*) {
    // A host's report function may use the interface itself.
    ZarvoRecord r{};
    ZarvoGetInfo("", 256, &r, 8);
    ZarvoSetErrorReport(report_calling_back);
    ++g_reentrant_calls;
}
}  // namespace

TEST(HostileFiles, ReportFunctionMayCallTheInterface) {
    Watchdog watchdog(30s);
    TempDir dir;
    ZarvoSetErrorReport(report_calling_back);
    g_reentrant_calls = 0;
    EXPECT_EQ(info(dir.path() + "/missing.zip", 256, 0), kEmpty);
    EXPECT_EQ(info(dir.path() + "/missing.zip", 256, 4), kEmpty);
    ZarvoSetErrorReport(nullptr);
    EXPECT_EQ(g_reentrant_calls, 2);
    expect_still_working(dir);
}

TEST(HostileFiles, FileThatOpensButCannotBeRead) {
    // /proc/self/mem is a regular file whose first page is never mapped: the
    // open succeeds and every read fails.
    const char* mem = "/proc/self/mem";
    if (::access(mem, R_OK) != 0) GTEST_SKIP() << "no " << mem;
    Watchdog watchdog(60s);
    for (std::uint32_t options : {8u, 8u | 2u | 4u}) {
        EXPECT_EQ(info(mem, 256, options), kEmpty);
        zarvo::Identification id = zarvo::identify(mem, 256, options);
        EXPECT_EQ(id.status, zarvo::Identification::Status::kReadFailed);
        EXPECT_EQ(id.result, "");
    }
    // The checksums of a failed read are those of no bytes.
    EXPECT_EQ(ZarvoGetFileCRC(mem), 0xFFFFu);
    EXPECT_EQ(ZarvoGetFileCRC32(mem), 0u);
    TempDir dir;
    expect_still_working(dir);
}

TEST(HostileFiles, PermissionDenied) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    std::string locked = dir.write("locked.zip", kZip);
    std::string open = dir.write("open.zip", kZip);
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0644), 0);

    Outcome outcome = unprivileged([&] {
        // No gtest assertions here: this may run in a child process.
        bool ok = info(locked) == kEmpty && info(locked, 256, 8 | 4) == kEmpty;
        zarvo::Identification id = zarvo::identify(locked.c_str(), 256, 8);
        ok = ok && id.status == zarvo::Identification::Status::kOpenFailed && id.error == std::strerror(EACCES);
        ok = ok && ZarvoGetFileCRC(locked.c_str()) == 0 && zarvo::file_crc32(locked.c_str()) == 0;
        return ok && info(open) == expected(kZipList);
    });
    if (outcome == Outcome::kSkipped) GTEST_SKIP() << "cannot run without privileges here";
    EXPECT_EQ(outcome, Outcome::kPassed);
}

TEST(HostileFiles, FileShrinkingOrGrowingWhileRead) {
    TempDir dir;
    std::string content = kZip + std::string(5000 - kZip.size(), 'x');
    std::string path = dir.write("change.zip", content);

    // Shrinks after opening: the reads stop at the new end; the size is
    // that of the opening.
    zarvo::platform::File file = zarvo::platform::File::open(path.c_str());
    ASSERT_EQ(::truncate(path.c_str(), 60), 0);
    zarvo::Sample sample;
    ASSERT_TRUE(zarvo::read_sample(zarvo::Source::of_file(file), 256, true, sample));
    EXPECT_EQ(sample.size, 5000u);
    EXPECT_EQ(sample.head, content.substr(0, 60));
    EXPECT_EQ(sample.tail, "");  // the last 1024 bytes are gone
    zarvo::Context ctx;
    ctx.options = 8 | 2 | 4;
    ctx.file_size = sample.size;
    ctx.present_ext = "zip";
    zarvo::Images images = zarvo::render(sample, ctx.options);
    EXPECT_EQ(zarvo::run_chain(images.head, images.tail, zarvo::Source::of_file(file), ctx), kZipList);
    int windows = 0;
    EXPECT_EQ(zarvo::refine::scan_windows(zarvo::Source::of_file(file), [&](std::string_view w, std::uint64_t) {
                  ++windows;
                  EXPECT_EQ(w.size(), 60u);
                  return std::string();
              }),
              "");
    EXPECT_EQ(windows, 1);

    // Emptied after opening: nothing to read, nothing found, no failure.
    zarvo::platform::File emptied = zarvo::platform::File::open(path.c_str());
    ASSERT_EQ(::truncate(path.c_str(), 0), 0);
    ASSERT_TRUE(zarvo::read_sample(zarvo::Source::of_file(emptied), 256, true, sample));
    EXPECT_EQ(sample.head, "");
    EXPECT_EQ(sample.tail, "");

    // Grows after opening: the head holds the bytes there at reading time;
    // the tail's place follows the size of the opening.
    std::string small = kZip.substr(0, 10);
    dir.write("change.zip", small);
    zarvo::platform::File growing = zarvo::platform::File::open(path.c_str());
    dir.write("change.zip", content);
    ASSERT_TRUE(zarvo::read_sample(zarvo::Source::of_file(growing), 256, true, sample));
    EXPECT_EQ(sample.size, 10u);
    EXPECT_EQ(sample.head, content.substr(0, 256));
    EXPECT_EQ(sample.tail, content.substr(0, 1024));

    // A later call sees the file as it is now: no state of the earlier one.
    EXPECT_EQ(info(path, 256, 8 | 4), expected(kZipList));
    EXPECT_EQ(ZarvoGetFileCRC32(path.c_str()), zarvo::file_crc32(path.c_str()));
}

TEST(HostileFiles, SparseFileBeyondFourGiB) {
    Watchdog watchdog(120s);
    TempDir dir;
    std::string path = dir.write("huge.jar", kZip);
    // Its size modulo 2^32 is below 1024: the true size, not its low 32 bits,
    // must place the tail at the end.
    const std::uint64_t size = (1ull << 32) + 100;
    int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_EQ(::pwrite(fd, "TAIL", 4, static_cast<off_t>(size - 4)), 4);
    ::close(fd);

    zarvo::platform::File file = zarvo::platform::File::open(path.c_str());
    zarvo::Sample sample;
    ASSERT_TRUE(zarvo::read_sample(zarvo::Source::of_file(file), 256, true, sample));
    EXPECT_EQ(sample.size, size);
    ASSERT_EQ(sample.tail.size(), 1024u);
    EXPECT_EQ(sample.tail.substr(1020), "TAIL");

    // The whole identification, window scan included, stays bounded.
    for (std::uint32_t options : {8u, 8u | 2u | 4u}) {
        EXPECT_EQ(info(path, 40000, options), expected("jar,zip,wmz,wsz,nar"));
        zarvo::Identification id = zarvo::identify(path.c_str(), 256, options);
        EXPECT_EQ(id.context.file_size, size);
        EXPECT_EQ(id.result, "jar,zip,wmz,wsz,nar");
    }
}

TEST(HostileFiles, NamesThatAreNotUtf8) {
    TempDir dir;
    struct Case {
        std::string name;
        const char* want;
    } cases[] = {
        {"\xFF\xFE\x80.zip", kZipList},
        {"bad\xC3(.JAR", "jar,zip,wmz,wsz,nar"},
        {"\x83\x5C\x83\x74\x83\x67.Jar", "jar,zip,wmz,wsz,nar"},  // Shift-JIS, a 0x5C trail byte
        {"x.\xE9zip", kZipList},  // the extension itself is not UTF-8
        {"\xC0\xAF.nar", "nar,zip,jar,wmz,wsz"},
    };
    for (const Case& c : cases) {
        std::string path = dir.write(c.name, kZip);
        EXPECT_EQ(info(path), expected(c.want)) << c.want;
        EXPECT_EQ(zarvo::to_result(zarvo::identify(path.c_str(), 256, 8)).extensions, c.want);
        EXPECT_EQ(ZarvoGetFileCRC32(path.c_str()), zarvo::file_crc32(path.c_str()));
        EXPECT_NE(ZarvoGetFileCRC32(path.c_str()), 0u);
        std::vector<char> out(path.size() + 1);
        gGetNameEx(path.c_str(), 3, out.data());
        EXPECT_EQ(std::string(out.data()), c.name);
    }
}

TEST(HostileFiles, VeryLongPaths) {
    Watchdog watchdog(60s);
    TempDir dir;
    // Long but within the system's limit: identified as any other file.
    DeepFile deep_ok(dir.path(), 'a', 3900);
    const std::string& long_ok = deep_ok.path();
    ASSERT_LT(long_ok.size(), 4096u);
    EXPECT_EQ(info(long_ok), expected(kZipList));
    EXPECT_EQ(zarvo::to_result(zarvo::identify(long_ok.c_str(), 256, 8 | 4)).extensions, kZipList);
    EXPECT_NE(ZarvoGetFileCRC32(long_ok.c_str()), 0u);

    // 5000 characters through nested folders, a name longer than a folder
    // entry can be, and a megabyte of path: the file cannot be opened.
    DeepFile deep(dir.path(), 'b', 5000);
    const std::string& too_deep = deep.path();
    ASSERT_GE(too_deep.size(), 5000u);
    std::string too_long_name = dir.path() + "/" + std::string(300, 'n') + ".zip";
    std::string megabyte = "/" + std::string(1 << 20, 'm');
    for (const std::string& p : {too_deep, too_long_name, megabyte}) expect_empty_answer(p, p.substr(0, 40) + "...");
    zarvo::Identification id = zarvo::identify(too_deep.c_str(), 256, 8);
    EXPECT_EQ(id.error, std::strerror(ENAMETOOLONG));

    // The name parts of such paths fill a buffer the size of the path.
    std::vector<char> out(too_deep.size() + 1);
    gGetNameEx(too_deep.c_str(), 4, out.data());
    EXPECT_EQ(std::string(out.data()), too_deep.substr(0, too_deep.size() - 5));
    gGetNameEx(too_deep.c_str(), 2, out.data());
    EXPECT_STREQ(out.data(), "zip");

    expect_still_working(dir);
}
