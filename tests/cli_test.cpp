// The command-line tool, run as a person or a script would run it.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "current/catalogue.hpp"
#include "support.hpp"
#include "text.hpp"

using oxtarn::test::bytes;
using oxtarn::test::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs oxtarn-cli with `args` (and `input` on standard input), its
// standard output to `out_to` when given.
CliRun cli(const std::vector<std::string>& args, const std::string& input = "", const std::string& out_to = "") {
    TempDir io;
    std::string in = io.write("in", input), out = io.path() + "/out", err = io.path() + "/err";
    std::string cmd = quote(OXTARN_CLI_PATH);
    for (const std::string& a : args) cmd += " " + quote(a);
    cmd += " <" + quote(in) + " >" + quote(out_to.empty() ? out : out_to) + " 2>" + quote(err);
    int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(out), slurp(err)};
}

std::vector<nlohmann::json> json_lines(const std::string& out) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    return lines;
}

const std::string kZip = bytes("504B0304") + std::string(30, 'z');
const std::string kGif = "GIF89a" + std::string(20, '\0');
const std::string kLzh = bytes("0000") + "-lh5-" + std::string(20, '\0');

}  // namespace

TEST(CommandLine, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--mode", "fast", "x"},
             {"--sample", "40001", "x"},
             {"--sample", "-1", "x"},
        {"--sample", "1e3", "x"},
             {"--format", "xml", "x"},
             {"--mode", "footer", "--options", "2", "x"},
             {"--journal", "j.log", "x"},
             {"--format", "json", "--encoding", "shift_jis", "x"},
             {},
         })
        EXPECT_EQ(cli(args).status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(cli({"--sample", "1e3", "x"}).err.find("not a whole number"), std::string::npos);
    EXPECT_NE(cli({"--sample", "40001", "x"}).err.find("not in the range 0 to 40000"), std::string::npos);
    CliRun help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--recursive"), std::string::npos);
    CliRun man = cli({"--man"});
    EXPECT_EQ(man.out.rfind(".TH OXTARN-CLI 1", 0), 0u);
    EXPECT_NE(man.out.find("\\-\\-fix"), std::string::npos);
    CliRun version = cli({"--version"});  // the tool's version, then the engine's
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "oxtarn-cli " OXTARN_VERSION "\nZarvo32 engine 1.21\n");
}

TEST(CommandLine, UnreadableFileAmongGoodOnesExitsWithOne) {
    TempDir dir;
    std::string zip = dir.write("a.zip", kZip), gif = dir.write("b.dat", kGif);
    CliRun r = cli({zip, dir.path() + "/missing", gif});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(zip + ": zip,jar,wmz,wsz,nar"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(gif + ": gif"), std::string::npos);
    EXPECT_NE(r.out.find("[89a形式]"), std::string::npos);  // UTF-8 by default
    EXPECT_NE(r.err.find(dir.path() + "/missing: No such file or directory"), std::string::npos) << r.err;
    EXPECT_EQ(cli({zip, gif}).status, 0);
    CliRun folder = cli({dir.path()});  // a folder without -r
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find(dir.path() + ": is a folder (use -r"), std::string::npos) << folder.err;
}

TEST(CommandLine, JsonLinesReadBackInInputOrder) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i)
        paths.push_back(dir.write("f" + std::to_string(i) + (i % 2 ? ".jar" : ".gif"), i % 3 ? kZip : kGif));
    std::vector<std::string> args = {"--format", "json", "--crc", "-j", "4"};
    args.insert(args.end(), paths.begin(), paths.end());
    args.push_back(dir.path() + "/missing");
    CliRun r = cli(args);
    EXPECT_EQ(r.status, 1);
    auto lines = json_lines(r.out);
    ASSERT_EQ(lines.size(), 41u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(lines[i]["path"], paths[i]);
        if (i % 3) {
            std::string first = i % 2 ? "jar" : "zip";  // the present extension comes first
            EXPECT_EQ(lines[i]["candidates"][0], first);
            EXPECT_EQ(lines[i]["candidates"].size(), 5u);
        } else {
            EXPECT_EQ(lines[i]["candidates"], nlohmann::json::array({"gif"}));
            EXPECT_EQ(lines[i]["detail"], "89a形式");
        }
        EXPECT_EQ(lines[i]["crc32"].get<std::string>().size(), 8u);
    }
    EXPECT_EQ(lines[40]["path"], dir.path() + "/missing");
    EXPECT_TRUE(lines[40].contains("error"));
}

TEST(CommandLine, CsvAndShiftJisOutput) {
    TempDir dir;
    std::string gif = dir.write("a,b.gif", kGif);
    CliRun r = cli({"--format", "csv", "--encoding", "shift_jis", gif});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "path,extension,candidates,description,detail,name,mime,error");
    EXPECT_NE(r.out.find("\"" + gif + "\",gif,gif,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(oxtarn::test::sj("89a形式")), std::string::npos);
}

TEST(CommandLine, FoldersListsAndLinks) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "/sub/deeper");
    std::string a = dir.write("sub/a.bin", kZip), b = dir.write("sub/deeper/b.bin", kGif);
    ASSERT_EQ(::symlink((dir.path() + "/sub").c_str(), (dir.path() + "/sub/deeper/loop").c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), (dir.path() + "/link.bin").c_str()), 0);

    CliRun plain = cli({"-r", "--format", "json", dir.path()});
    auto lines = json_lines(plain.out);
    ASSERT_EQ(lines.size(), 2u) << plain.out;  // links are not followed
    EXPECT_EQ(lines[0]["path"], a);
    EXPECT_EQ(lines[1]["path"], b);

    CliRun followed = cli({"-r", "-L", "--format", "json", dir.path()});
    EXPECT_EQ(json_lines(followed.out).size(), 3u) << followed.out;  // the loop is entered once

    CliRun listed = cli({"--files-from", "-", "-0", "--format", "json"}, a + std::string(1, '\0') + b);
    EXPECT_EQ(json_lines(listed.out).size(), 2u);
    std::string list = dir.write("list.txt", b + "\n" + a + "\n");
    auto from_file = json_lines(cli({"--files-from", list, "--format", "json"}).out);
    ASSERT_EQ(from_file.size(), 2u);
    EXPECT_EQ(from_file[0]["path"], b);
}

TEST(CommandLine, FixRenamesAndUndoPutsNamesBack) {
    TempDir dir;
    std::string zip = dir.write("archive.txt", kZip), gif = dir.write("photo.gif", kGif);
    std::string lzh = dir.write("old.zip", kLzh), clash = dir.write("old.lzh", "already here");
    std::string unknown = dir.write("data.xyz", "\x01\x02\x03 nothing known");
    std::string journal = dir.path() + "/journal.log";

    CliRun dry = cli({"--fix", "--dry-run", zip, gif, lzh, unknown});
    EXPECT_NE(dry.out.find(zip + " -> " + dir.path() + "/archive.zip (dry run)"), std::string::npos) << dry.out;
    EXPECT_TRUE(std::filesystem::exists(zip));

    CliRun fix = cli({"--fix", "--journal", journal, zip, gif, lzh, unknown});
    EXPECT_EQ(fix.status, 1);  // the clash
    EXPECT_NE(fix.err.find("already exists"), std::string::npos) << fix.err;
    EXPECT_EQ(slurp(dir.path() + "/archive.zip"), kZip);
    EXPECT_FALSE(std::filesystem::exists(zip));
    EXPECT_EQ(slurp(gif), kGif);          // already a fitting name
    EXPECT_EQ(slurp(lzh), kLzh);          // not renamed over old.lzh
    EXPECT_EQ(slurp(clash), "already here");
    EXPECT_TRUE(std::filesystem::exists(unknown));  // unidentified: left alone

    CliRun undo = cli({"--undo", journal});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(slurp(zip), kZip);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/archive.zip"));
}

TEST(CommandLine, CatalogueAndExtensionList) {
    CliRun list = cli({"--list-extensions"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 718);
    EXPECT_EQ(list.out.rfind("000\n123\n", 0), 0u);
    CliRun zip = cli({"--describe", "zip"});
    EXPECT_EQ(zip.status, 0);
    EXPECT_NE(zip.out.find("「書庫」"), std::string::npos) << zip.out;
    EXPECT_EQ(cli({"--describe", "zip", "--table", "0"}).out, "\n");
    // The variant option, under its name and the older one.
    for (const char* option : {"--variant", "--table"}) {
        CliRun gzip = cli({"--describe", "tgz", option, "52"});
        EXPECT_EQ(gzip.status, 0) << option;
        EXPECT_EQ(gzip.out, "TGZ Archive File「書庫」\n") << option;
    }
}

// The current-formats layer is asked by default; --legacy (or raw option
// bits without 16) gives the classic answers alone.
TEST(CommandLine, CurrentFormatsByDefaultLegacyOnRequest) {
    TempDir dir;
    // An ISO base media file: the classic tables take it for jam, the layer knows it.
    std::string mp4 = dir.write("a.dat", oxtarn::test::bytes("000000186674797069736F6D0000020069736F6D6D703431") +
                                             std::string(64, '\0'));
    struct Case {
        std::vector<std::string> args;
        std::string first, name, mime;
    };
    const std::vector<Case> cases = {
        {{}, "mp4", "MPEG-4 Video", "video/mp4"},
        {{"--options", "16"}, "mp4", "MPEG-4 Video", "video/mp4"},
        {{"--mode", "footer"}, "mp4", "MPEG-4 Video", "video/mp4"},
        {{"--legacy"}, "jam", "", ""},
        {{"--options", "0"}, "jam", "", ""},
        {{"--legacy", "--mode", "footer"}, "jam", "", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        for (const char* a : {"--format", "json"}) args.push_back(a);
        args.push_back(mp4);
        CliRun r = cli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        nlohmann::json j = nlohmann::json::parse(r.out);
        EXPECT_EQ(j["candidates"][0], c.first) << c.args.size();
        EXPECT_EQ(j["name"], c.name);
        EXPECT_EQ(j["mime"], c.mime);
    }
    EXPECT_EQ(cli({"--legacy", "--options", "16", mp4}).status, 2);
    EXPECT_EQ(cli({"--current", mp4}).status, 2);

    CliRun current = cli({"--list-extensions", "--current"});
    EXPECT_EQ(current.status, 0);
    std::string want(zarvo::current::extension_list());
    std::replace(want.begin(), want.end(), ',', '\n');
    EXPECT_EQ(current.out, want + "\n");
    EXPECT_NE(current.out.find("\nmp4\n"), std::string::npos);
}

TEST(CommandLine, TextOutputEscapesNamesAndTextsFromFiles) {
    TempDir dir;
    // A title that would set the terminal's title and clear its screen.
    std::string nsf = "NESM\x1A\x01\x01\x01" + std::string(6, '\0') + "\x1B]0;owned\x07\x1B[2J" +
                      std::string(80, '\0');
    struct Case {
        std::string name;     // the file's name in the folder
        std::string written;  // how the text line writes it
    } cases[] = {
        {"new\nline.gif", "new\\nline.gif"},
        {"a.dat: PK.gif", "a.dat:\\ PK.gif"},
        {"tab\there.gif", "tab\\there.gif"},
        {"esc\x1B[2J.gif", "esc\\033[2J.gif"},
        {"back\\slash.gif", "back\\\\slash.gif"},
        {"bad\xFF.gif", "bad\\377.gif"},
        {"c1\xC2\x9B.gif", "c1\\302\\233.gif"},
        {"日本.gif", "日本.gif"},
    };
    for (const Case& c : cases) {
        std::string path = dir.write(c.name, kGif);
        CliRun r = cli({path});
        EXPECT_EQ(r.out, dir.path() + "/" + c.written + ": gif  GIF Image File「画像」  [89a形式]\n") << c.written;
        // A rename line escapes both names; the old and the new name stay apart.
        std::string moved = dir.write("x " + c.name + " -> y.zip", kGif);
        CliRun fix = cli({"--fix", "--dry-run", moved});
        std::string title = c.written.substr(0, c.written.size() - 4);
        EXPECT_EQ(fix.out, dir.path() + "/x\\ " + c.written + "\\ ->\\ y.zip -> " + dir.path() + "/x\\ " +
                               c.written + "\\ ->\\ y.gif (dry run)\n");
        std::filesystem::remove(path);
        std::filesystem::remove(moved);
    }
    std::string song = dir.write("song.nsf", nsf);
    CliRun r = cli({song});
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x07'), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\\033]0;owned\\a\\033[2J"), std::string::npos) << r.out;
    // Messages on standard error escape names too.
    CliRun missing = cli({dir.path() + "/gone\x1B[2J"});
    EXPECT_NE(missing.err.find("gone\\033[2J: No such file"), std::string::npos) << missing.err;
}

TEST(CommandLine, JsonAndCsvCarryTheRenameAndTheNameBytes) {
    TempDir dir;
    std::string a = dir.write("bad\xFF\xFE.dat", kZip), b = dir.write("bad\xFF\xFD.dat", kZip);
    std::string c = dir.write("plain.dat", kGif), clash = dir.write("taken.txt", kZip);
    dir.write("taken.zip", "already here");
    for (bool dry : {true, false}) {
        SCOPED_TRACE(dry ? "dry run" : "rename");
        std::vector<std::string> args{"--fix", "--format", "json", "-q", a, b, c, clash};
        if (dry) args.insert(args.begin() + 1, "--dry-run");
        CliRun r = cli(args);
        EXPECT_EQ(r.status, dry ? 0 : 1);  // the clash, found by the rename
        auto lines = json_lines(r.out);  // every line a record: no plain lines among them
        ASSERT_EQ(lines.size(), 4u) << r.out;
        EXPECT_EQ(lines[0]["path_bytes"], "2F" + zarvo::text::to_hex(dir.path().substr(1)) + "2F626164FFFE2E646174");
        EXPECT_NE(lines[0]["path_bytes"], lines[1]["path_bytes"]);
        EXPECT_FALSE(lines[2].contains("path_bytes"));
        EXPECT_EQ(lines[2]["renamed_to"], dir.path() + "/plain.gif");
        EXPECT_EQ(lines[2].contains("dry_run"), dry);
        if (!dry) {
            EXPECT_FALSE(lines[3].contains("renamed_to"));
            EXPECT_NE(lines[3]["rename_error"].get<std::string>().find("already exists"), std::string::npos);
        }
        EXPECT_EQ(std::filesystem::exists(dir.path() + "/plain.gif"), !dry);
    }
    CliRun csv = cli({"--fix", "--dry-run", "--format", "csv", dir.path() + "/taken.txt"});
    EXPECT_EQ(csv.out, "path,extension,candidates,description,detail,name,mime,renamed_to,rename_error,error\n" +
                           dir.path() + "/taken.txt,txt,\"zip,jar,wmz,wsz,nar\",ZIP Archive File「書庫」,,ZIP archive,"
                           "application/zip," + dir.path() + "/taken.zip,,\n");
}

TEST(CommandLine, FaultsOfOutputListsAndJournalsAreErrors) {
    TempDir dir;
    std::string gif = dir.write("a.gif", kGif);
    std::string overlong = std::string(5000, 'x');
    dir.write("list", overlong + "\n" + gif + "\n");
    struct Case {
        const char* label;
        std::vector<std::string> args;
        std::string out_to;
        int status;
        std::string message;
    } cases[] = {
        {"output to a full disk", {gif}, "/dev/full", 1, "cannot write the output: No space left on device"},
        {"json to a full disk", {"--format", "json", gif}, "/dev/full", 1, "cannot write the output"},
        {"a folder as the list", {"--files-from", dir.path()}, "", 1, "is a folder"},
        {"a device as the list", {"--files-from", "/dev/zero", "-0"}, "", 1, "is a device"},
        {"a folder as the journal", {"--undo", dir.path()}, "", 1, "is a folder"},
        {"a device as the journal", {"--undo", "/dev/zero"}, "", 1, "not a regular file"},
        {"an overlong line", {"--files-from", dir.path() + "/list"}, "", 1, "entry 1 is longer than the longest path"},
    };
    for (const Case& c : cases) {
        CliRun r = cli(c.args, "", c.out_to);
        EXPECT_EQ(r.status, c.status) << c.label;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.label << ": " << r.err;
    }
    // The overlong line is reported alone: the next path is still identified.
    EXPECT_NE(cli({"--files-from", dir.path() + "/list"}).out.find(gif + ": gif"), std::string::npos);
    EXPECT_NE(cli({"--files-from", "-"}, overlong + "\n" + gif + "\n").out.find(gif + ": gif"), std::string::npos);
}

TEST(CommandLine, AnswersFlowWhileTheListIsStillBeingWritten) {
    // The list comes through a pipe whose writer waits for the first answer
    // before it writes the rest: a tool that read the whole list first
    // would wait for ever.
    TempDir dir;
    std::string first = dir.write("first.gif", kGif), second = dir.write("second.zip", kZip);
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(std::string("-j ") + jobs);
        int to_cli[2], from_cli[2];
        ASSERT_EQ(::pipe(to_cli), 0);
        ASSERT_EQ(::pipe(from_cli), 0);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::dup2(to_cli[0], 0);
            ::dup2(from_cli[1], 1);
            for (int fd : {to_cli[0], to_cli[1], from_cli[0], from_cli[1]}) ::close(fd);
            ::execl(OXTARN_CLI_PATH, OXTARN_CLI_PATH, "-q", "-j", jobs, "--files-from", "-", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(to_cli[0]);
        ::close(from_cli[1]);
        std::string line = first + "\n";
        ASSERT_EQ(::write(to_cli[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
        pollfd wait_for{from_cli[0], POLLIN, 0};
        int ready = ::poll(&wait_for, 1, 20000);
        EXPECT_EQ(ready, 1) << "no answer while the list was open";
        char buf[4096];
        std::string got;
        if (ready == 1) got.append(buf, static_cast<std::size_t>(std::max<ssize_t>(0, ::read(from_cli[0], buf, sizeof buf))));
        line = second + "\n";
        ASSERT_EQ(::write(to_cli[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
        ::close(to_cli[1]);
        for (ssize_t n; (n = ::read(from_cli[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
        ::close(from_cli[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(got.rfind(first + ": gif", 0), 0u) << got;
        EXPECT_NE(got.find(second + ": zip"), std::string::npos) << got;
    }
}

TEST(CommandLine, RenameTargetFollowsTheNameWhateverTheFolderPart) {
    TempDir dir;
    dir.write("ab", kZip);
    dir.write("...", kZip);
    dir.write("a.", kZip);
    dir.write(".profile", kZip);
    struct Case {
        std::string cwd_relative, expected;
    } cases[] = {
        {"ab", "ab.zip"}, {"./ab", "./ab.zip"}, {"...", "...zip"}, {"./...", "./...zip"},
        {"a.", "a.zip"},  {".profile", ".profile.zip"},
    };
    // Short relative paths as well as long ones: run from the folder itself.
    std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const Case& c : cases) {
        for (const std::string& prefix : {std::string(), dir.path() + "/"}) {
            CliRun r = cli({"--fix", "--dry-run", prefix + c.cwd_relative});
            EXPECT_EQ(r.out, prefix + c.cwd_relative + " -> " + prefix + c.expected + " (dry run)\n") << c.cwd_relative;
        }
    }
    std::filesystem::current_path(was);
}
