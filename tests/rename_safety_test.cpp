// Renames never replace or lose a file: onto an existing name, onto a name
// that appears between the check and the rename, and across failures, every
// byte of every file is still there afterwards, in the renaming helper (with
// the system's no-replace rename and with its link-and-unlink fallback) and
// in the command-line tool's --fix, --journal and --undo.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../cli/rename.hpp"
#include "support.hpp"

namespace fs = std::filesystem;
using oxtarn::cli::rename_no_replace;
using oxtarn::test::bytes;
using oxtarn::test::TempDir;

namespace {
// While set, the system's rename refuses RENAME_NOREPLACE as a file system
// without it does, so the helper takes its link-and-unlink way.
std::atomic<bool> g_without_noreplace{false};
}  // namespace

// Stands in for the C library's function in this test program.
extern "C" int renameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                         unsigned int flags) noexcept {
    if (g_without_noreplace && (flags & RENAME_NOREPLACE)) {
        errno = EINVAL;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat2, olddirfd, oldpath, newdirfd, newpath, flags));
}

namespace {

class WithoutNoReplace {
public:
    explicit WithoutNoReplace(bool on) { g_without_noreplace = on; }
    ~WithoutNoReplace() { g_without_noreplace = false; }
};

// Every regular file below `root` (links not followed): relative name -> bytes.
std::map<std::string, std::string> tree(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (e.is_symlink() || !e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        files[fs::relative(e.path(), root).string()] = s.str();
    }
    return files;
}

// The contents alone, sorted: what must survive whatever the names.
std::vector<std::string> contents(const std::map<std::string, std::string>& files) {
    std::vector<std::string> out;
    for (const auto& [name, data] : files) out.push_back(data);
    std::sort(out.begin(), out.end());
    return out;
}

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the command-line tool; returns its exit status.
int cli(const std::string& args) {
    std::string cmd = std::string(OXTARN_CLI_PATH) + " " + args + " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

TEST(RenameSafety, HelperNeverReplacesAndKeepsEveryByte) {
    TempDir other_fs_dir;  // placeholder when /dev/shm is the same file system
    std::string shm;
    struct stat tmp_st {}, shm_st {};
    if (::stat("/dev/shm", &shm_st) == 0 && ::stat(other_fs_dir.path().c_str(), &tmp_st) == 0 &&
        shm_st.st_dev != tmp_st.st_dev && ::access("/dev/shm", W_OK) == 0)
        shm = "/dev/shm/oxtarn-rename-" + std::to_string(::getpid());

    for (bool fallback : {false, true}) {
        SCOPED_TRACE(fallback ? "link and unlink" : "no-replace rename");
        WithoutNoReplace mode(fallback);
        TempDir dir;
        const std::string d = dir.path() + "/";
        dir.write("a.txt", "AAAA");
        dir.write("b.zip", "BBBB");
        dir.write("same.txt", "SAME");
        ASSERT_EQ(::mkdir((d + "folder.zip").c_str(), 0700), 0);
        ASSERT_EQ(::symlink("nowhere", (d + "dangling.zip").c_str()), 0);
        ASSERT_EQ(::link((d + "same.txt").c_str(), (d + "same-link.txt").c_str()), 0);

        struct Case {
            const char* label;
            std::string from, to;
            bool renamed;
        } cases[] = {
            {"existing file", d + "a.txt", d + "b.zip", false},
            {"existing folder", d + "a.txt", d + "folder.zip", false},
            {"dangling link", d + "a.txt", d + "dangling.zip", false},
            {"itself", d + "a.txt", d + "a.txt", false},
            {"another link to the same file", d + "same.txt", d + "same-link.txt", false},
            {"missing source", d + "none.txt", d + "none.zip", false},
            {"missing folder", d + "a.txt", d + "no/such/a.zip", false},
            {"free name", d + "a.txt", d + "a.zip", true},
        };
        const auto before = tree(dir.path());
        for (const Case& c : cases) {
            std::string reason = rename_no_replace(c.from, c.to);
            EXPECT_EQ(reason.empty(), c.renamed) << c.label << ": " << reason;
        }
        auto after = tree(dir.path());
        EXPECT_EQ(contents(after), contents(before));
        EXPECT_EQ(after["a.zip"], "AAAA");
        EXPECT_EQ(after["b.zip"], "BBBB");
        EXPECT_EQ(after.count("a.txt"), 0u);
        EXPECT_EQ(after["same.txt"], "SAME");
        EXPECT_EQ(after["same-link.txt"], "SAME");
        EXPECT_TRUE(fs::is_symlink(d + "dangling.zip"));
        EXPECT_TRUE(fs::is_directory(d + "folder.zip"));

        // Onto another file system: refused, the source stays.
        if (!shm.empty()) {
            EXPECT_FALSE(rename_no_replace(d + "a.zip", shm).empty());
            EXPECT_EQ(read(d + "a.zip"), "AAAA");
            EXPECT_FALSE(fs::exists(shm));
        }
    }
}

TEST(RenameSafety, NameTakenAtTheSameMomentIsNeverReplaced) {
    // Two renames race for one free name, again and again: exactly one wins
    // each time, and the loser's file stays where it was.
    for (bool fallback : {false, true}) {
        SCOPED_TRACE(fallback ? "link and unlink" : "no-replace rename");
        WithoutNoReplace mode(fallback);
        TempDir dir;
        const std::string target = dir.path() + "/target.zip";
        for (int round = 0; round < 100; ++round) {
            std::string one = dir.write("one.txt", "first " + std::to_string(round));
            std::string two = dir.write("two.dat", "second " + std::to_string(round));
            std::atomic<int> ready{0};
            std::string reason_one, reason_two;
            auto racer = [&](const std::string& from, std::string& reason) {
                ready.fetch_add(1);
                while (ready.load() < 2) {
                }
                reason = rename_no_replace(from, target);
            };
            std::thread a(racer, std::cref(one), std::ref(reason_one));
            std::thread b(racer, std::cref(two), std::ref(reason_two));
            a.join();
            b.join();
            ASSERT_NE(reason_one.empty(), reason_two.empty()) << "round " << round;
            const std::string& loser = reason_one.empty() ? two : one;
            const std::string winner_bytes = (reason_one.empty() ? "first " : "second ") + std::to_string(round);
            ASSERT_EQ(read(target), winner_bytes);
            ASSERT_EQ(read(loser), (reason_one.empty() ? "second " : "first ") + std::to_string(round));
            ASSERT_EQ(tree(dir.path()).size(), 2u);
            fs::remove(target);
            fs::remove(loser);
        }
    }
}

TEST(RenameSafety, CliFixAndUndoKeepEveryByte) {
    const std::string zip = bytes("504B0304 14000000");
    const std::string rar = bytes("52617221 1A0700");
    TempDir dir;
    const std::string d = dir.path() + "/";
    dir.write("twin.dat", zip + "dat");
    dir.write("twin.txt", zip + "txt");  // both want twin.zip: the second finds it taken
    dir.write("taken.txt", zip + "taken");
    dir.write("taken.zip", "an unrelated file");  // taken.txt cannot become taken.zip
    dir.write("archive.bin", rar + "rar");
    dir.write("fine.zip", zip + "fine");
    dir.write("notes.txt", "plain words");
    const auto initial = tree(dir.path());
    const std::string files = quoted(d + "archive.bin") + " " + quoted(d + "fine.zip") + " " + quoted(d + "notes.txt") +
                              " " + quoted(d + "taken.txt") + " " + quoted(d + "twin.dat") + " " +
                              quoted(d + "twin.txt");
    const std::string journal = dir.path() + "/journal/fix.log";

    // A journal that cannot be written stops the tool before any rename.
    EXPECT_EQ(cli("--fix -q --journal " + quoted(journal) + " " + files), 2);
    EXPECT_EQ(tree(dir.path()), initial);

    ASSERT_EQ(::mkdir((dir.path() + "/journal").c_str(), 0700), 0);
    EXPECT_EQ(cli("--fix -q -j 4 --journal " + quoted(journal) + " " + files), 1);  // two renames refused
    auto fixed = tree(dir.path());
    fixed.erase("journal/fix.log");
    EXPECT_EQ(contents(fixed), contents(initial));
    EXPECT_EQ(fixed["archive.rar"], rar + "rar");
    EXPECT_EQ(fixed["twin.zip"], zip + "dat");
    EXPECT_EQ(fixed["twin.txt"], zip + "txt");
    EXPECT_EQ(fixed["taken.txt"], zip + "taken");
    EXPECT_EQ(fixed["taken.zip"], "an unrelated file");
    EXPECT_EQ(fixed["fine.zip"], zip + "fine");

    // Undo puts every name back...
    EXPECT_EQ(cli("--undo " + quoted(journal)), 0);
    auto undone = tree(dir.path());
    undone.erase("journal/fix.log");
    EXPECT_EQ(undone, initial);

    // ...but never onto a name that has been taken since: that file stays,
    // and so does the renamed one.
    const std::string second = dir.path() + "/journal/again.log";
    EXPECT_EQ(cli("--fix -q --journal " + quoted(second) + " " + files), 1);
    dir.write("archive.bin", "a newcomer");
    EXPECT_EQ(cli("--undo " + quoted(second)), 1);
    auto after = tree(dir.path());
    EXPECT_EQ(after["archive.bin"], "a newcomer");
    EXPECT_EQ(after["archive.rar"], rar + "rar");
    EXPECT_EQ(after["twin.dat"], zip + "dat");
}

// Names that are not UTF-8 must come back byte for byte, never as the
// replaced spelling that an unrelated file may have.
TEST(RenameSafety, CliUndoRestoresNamesThatAreNotUtf8) {
    TempDir dir;
    const std::string zip = bytes("504B0304 14000000");
    dir.write("bad\xFF.txt", zip + "1");
    dir.write("bad\xFE.txt", zip + "2");
    dir.write("bad\xEF\xBF\xBD.zip", "an unrelated file");  // the replaced spelling of both
    const auto initial = tree(dir.path());
    const std::string journal = dir.path() + "/fix.log";
    cli("--fix -q --journal " + quoted(journal) + " " + quoted(dir.path() + "/bad\xFF.txt") + " " +
        quoted(dir.path() + "/bad\xFE.txt"));
    EXPECT_EQ(cli("--undo " + quoted(journal)), 0);
    auto undone = tree(dir.path());
    undone.erase("fix.log");
    EXPECT_EQ(undone, initial);
}

namespace {
// Runs the tool in the folder `cwd` with the shell words `args`; its output
// messages go to `err`, when given.
int cli_in(const std::string& cwd, const std::string& args, std::string* err = nullptr) {
    TempDir io;
    std::string cmd = "cd " + quoted(cwd) + " && " + std::string(OXTARN_CLI_PATH) + " " + args + " >/dev/null 2>" +
                      quoted(io.path() + "/err");
    int status = std::system(cmd.c_str());
    if (err) *err = read(io.path() + "/err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}
}  // namespace

TEST(RenameSafety, JournalEntryComesFirstAndItsFailureStopsTheRun) {
    // The journal's file may grow by little: the second entry is cut short
    // and fails, as on a full disk. The file whose entry failed, and every
    // file after it, keeps its name.
    const std::string zip = bytes("504B0304 14000000");
    TempDir dir;
    for (const char* name : {"one.txt", "two.txt", "three.txt"}) dir.write(name, zip + name);
    const auto initial = tree(dir.path());
    const std::string journal = dir.path() + "/fix.log";
    const std::string files = "one.txt two.txt three.txt";
    // Sizes in blocks of 512 bytes: the header and one entry fit in one.
    std::string err;
    std::string run = "sh -c \"trap '' XFSZ; ulimit -f 1; exec " + std::string(OXTARN_CLI_PATH) +
                      " -q --fix --journal fix.log " + files + "\"";
    std::string cmd = "cd " + quoted(dir.path()) + " && " + run + " >/dev/null 2>/dev/null";
    int status = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    auto after = tree(dir.path());
    std::string written = after["fix.log"];
    after.erase("fix.log");
    EXPECT_EQ(after.count("one.zip"), 1u);
    EXPECT_EQ(after["two.txt"], zip + "two.txt");
    EXPECT_EQ(after["three.txt"], zip + "three.txt");
    ASSERT_FALSE(written.empty());
    EXPECT_NE(written.back(), '\n');  // the torn entry

    // A later run adds to the journal: its first entry starts a line of its
    // own, never glued to the torn one; undo reports the torn line and puts
    // back every name.
    EXPECT_EQ(cli_in(dir.path(), "-q --fix --journal fix.log two.txt three.txt"), 0);
    auto lines = lines_of(read(journal));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[3].find("two.txt"), std::string::npos);
    EXPECT_EQ(lines[3].rfind("{\"from\"", 0), 0u);
    EXPECT_EQ(cli_in(dir.path(), "--undo fix.log", &err), 1);
    EXPECT_NE(err.find("line 3: not a whole journal entry"), std::string::npos) << err;
    auto undone = tree(dir.path());
    undone.erase("fix.log");
    EXPECT_EQ(undone, initial);
}

TEST(RenameSafety, JournalIsNeverWrittenIntoAnotherFile) {
    const std::string zip = bytes("504B0304 14000000");
    TempDir dir;
    dir.write("a.dat", zip + "a");
    dir.write("b.dat", zip + "b");
    dir.write("old.log", "{\"from\":\"x\"}\n");  // JSON lines, but not a journal of ours
    ASSERT_EQ(::mkdir((dir.path() + "/folder").c_str(), 0700), 0);
    const auto initial = tree(dir.path());
    for (const char* journal : {"b.dat", "old.log", "folder", "/dev/full", "/dev/null"}) {
        std::string err;
        EXPECT_EQ(cli_in(dir.path(), std::string("-q --fix --journal ") + journal + " a.dat b.dat", &err), 2) << journal;
        EXPECT_NE(err.find("cannot use as the journal"), std::string::npos) << journal << ": " << err;
        EXPECT_EQ(tree(dir.path()), initial) << journal;
    }
    // A journal of ours is added to.
    EXPECT_EQ(cli_in(dir.path(), "-q --fix --journal j.log a.dat"), 0);
    EXPECT_EQ(cli_in(dir.path(), "-q --fix --journal j.log b.dat"), 0);
    EXPECT_EQ(lines_of(read(dir.path() + "/j.log")).size(), 3u);
    EXPECT_EQ(cli_in(dir.path(), "--undo j.log"), 0);
    auto undone = tree(dir.path());
    undone.erase("j.log");
    EXPECT_EQ(undone, initial);
}

TEST(RenameSafety, UndoPutsBackOnlyTheFileThatWasRenamed) {
    const std::string zip = bytes("504B0304 14000000");
    struct Case {
        const char* label;
        std::function<void(const std::string& dir, const std::string& elsewhere)> meanwhile;
        const char* run_in;  // "dir" or "elsewhere"
        bool put_back;
    } cases[] = {
        {"nothing changed", [](const std::string&, const std::string&) {}, "dir", true},
        {"run from another folder", [](const std::string&, const std::string&) {}, "elsewhere", true},
        {"renamed file replaced by a new one",
         [](const std::string& d, const std::string&) {
             fs::remove(d + "/a.zip");
             std::ofstream(d + "/a.zip") << "a newcomer";
         },
         "dir", false},
        {"renamed file changed",
         [](const std::string& d, const std::string&) { std::ofstream(d + "/a.zip", std::ios::app) << "more"; }, "dir",
         false},
        {"renamed file gone", [](const std::string& d, const std::string&) { fs::remove(d + "/a.zip"); }, "dir", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir, elsewhere;
        dir.write("a.dat", zip + "a");
        elsewhere.write("a.zip", "an unrelated file");  // the same relative name, in another folder
        const auto before_elsewhere = tree(elsewhere.path());
        ASSERT_EQ(cli_in(dir.path(), "-q --fix --journal j.log a.dat"), 0);
        ASSERT_TRUE(fs::exists(dir.path() + "/a.zip"));
        c.meanwhile(dir.path(), elsewhere.path());
        const auto before_undo = tree(dir.path());
        std::string err;
        int status = cli_in(std::string(c.run_in) == "dir" ? dir.path() : elsewhere.path(),
                            quoted("--undo") + " " + quoted(dir.path() + "/j.log"), &err);
        EXPECT_EQ(tree(elsewhere.path()), before_elsewhere);
        if (c.put_back) {
            EXPECT_EQ(status, 0) << err;
            EXPECT_EQ(read(dir.path() + "/a.dat"), zip + "a");
            EXPECT_FALSE(fs::exists(dir.path() + "/a.zip"));
        } else {
            EXPECT_EQ(status, 1);
            EXPECT_NE(err.find("is not the file that was renamed"), std::string::npos) << err;
            EXPECT_EQ(tree(dir.path()), before_undo);
        }
    }
}
