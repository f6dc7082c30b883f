// The command-line tool, run as a person or a script would run it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support.hpp"

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

// Runs oxtarn-cli with `args` (and `input` on standard input).
CliRun cli(const std::vector<std::string>& args, const std::string& input = "") {
    TempDir io;
    std::string in = io.write("in", input), out = io.path() + "/out", err = io.path() + "/err";
    std::string cmd = quote(OXTARN_CLI_PATH);
    for (const std::string& a : args) cmd += " " + quote(a);
    cmd += " <" + quote(in) + " >" + quote(out) + " 2>" + quote(err);
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
             {"--format", "xml", "x"},
             {"--mode", "footer", "--options", "2", "x"},
             {"--journal", "j.log", "x"},
             {"--format", "json", "--encoding", "shift_jis", "x"},
             {},
         })
        EXPECT_EQ(cli(args).status, 2) << (args.empty() ? "" : args[0]);
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
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "path,extension,candidates,description,detail,error");
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
}
