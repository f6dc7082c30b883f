// The exported C interface of the engine library.
#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "record.hpp"
#include "support.hpp"
#include "zarvo32.h"

using oxtarn::test::info;
using oxtarn::test::Record;
using oxtarn::test::sj;
using oxtarn::test::TempDir;

namespace {
// The names in the loaded library's export table.
std::set<std::string> exported_names() {
    std::set<std::string> names;
#ifdef _WIN32
    auto* base = reinterpret_cast<const unsigned char*>(::GetModuleHandleA("Zarvo32.dll"));
    if (!base) return names;
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* table = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* name_rvas = reinterpret_cast<const DWORD*>(base + table->AddressOfNames);
    for (DWORD i = 0; i < table->NumberOfNames; ++i) names.insert(reinterpret_cast<const char*>(base + name_rvas[i]));
#else
    std::string cmd = std::string("nm -D --defined-only ") + ZARVO_LIBRARY_PATH;
    FILE* pipe = ::popen(cmd.c_str(), "r");
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string s(line);
        std::string name = s.substr(s.find_last_of(' ') + 1);
        name.erase(name.find_last_not_of("\n") + 1);
        if (s.find(" T ") != std::string::npos) names.insert(name);
    }
    ::pclose(pipe);
#endif
    return names;
}
}  // namespace

TEST(ExportedInterface, ExportsExactlyTheInterface) {
    std::set<std::string> want = {
        "ZarvoGetInfo", "ZarvoGetVersion", "ZarvoGetExNumKind", "ZarvoGetExNumPattern", "ZarvoGetExtListLength",
        "ZarvoGetExtList", "ZarvoGetFileCRC", "ZarvoGetFileCRC32", "ZarvoSetErrorReport",
        "ZarvoGetKindName", "ZarvoGetCurrentExtListLength", "ZarvoGetCurrentExtList",
        "_Z10gGetWhatExPKciPc", "_Z10gGetNameExPKciPc",
    };
    EXPECT_EQ(exported_names(), want);
#ifdef _WIN32
    // As a program that loads the library at run time finds it.
    HMODULE lib = ::LoadLibraryA("Zarvo32.dll");
    ASSERT_NE(lib, nullptr);
    using Version = std::int32_t(ZARVO_CALL*)();
    auto version = reinterpret_cast<Version>(reinterpret_cast<void*>(::GetProcAddress(lib, "ZarvoGetVersion")));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 121);
    ::FreeLibrary(lib);
#endif
}

TEST(ExportedInterface, Constants) {
    EXPECT_EQ(ZarvoGetVersion(), 121);
    EXPECT_EQ(ZarvoGetExNumKind(), 765);
    EXPECT_EQ(ZarvoGetExNumPattern(), 824);
    EXPECT_EQ(ZarvoGetExtListLength(), 3000);
}

TEST(ExportedInterface, KnownExtensionList) {
    std::vector<char> buf(3000, 'x');
    EXPECT_EQ(ZarvoGetExtList(buf.data()), 718);
    std::string list(buf.data());
    EXPECT_EQ(list.size(), 2882u);
    EXPECT_EQ(list.rfind("000,123,1tx,", 0), 0u);
    EXPECT_EQ(list.substr(list.size() - 3), ",zz");
    EXPECT_EQ(std::count(list.begin(), list.end(), ','), 717);
    EXPECT_NE(list.find(",au,asd,asf,"), std::string::npos);
    EXPECT_NE(list.find(",zst,zrs,zoo,zz"), std::string::npos);
    EXPECT_EQ(ZarvoGetExtList(nullptr), 718);
}

TEST(ExportedInterface, UnreadablePathsGiveTheEmptyResult) {
    TempDir dir;
    for (const std::string& p : {dir.file("missing"), dir.path(), oxtarn::test::not_regular_file(dir)}) {
        ZarvoRecord rec;
        std::memset(&rec, 'x', sizeof rec);
        EXPECT_EQ(ZarvoGetInfo(p.c_str(), 256, &rec, 8), 0);
        EXPECT_STREQ(rec.extension, "?") << p;
        EXPECT_STREQ(rec.description, "");
        EXPECT_STREQ(rec.detail, "");
        EXPECT_EQ(ZarvoGetFileCRC(p.c_str()), 0u);
        EXPECT_EQ(ZarvoGetFileCRC32(p.c_str()), 0u);
    }
}

namespace {
std::vector<std::pair<std::string, std::string>> g_reports;
void ZARVO_CALL record_report(const char* text, const char* caption) { g_reports.emplace_back(text, caption); }
}  // namespace

TEST(ExportedInterface, ErrorReportUnlessQuiet) {
    TempDir dir;
    std::string missing = dir.file("missing");
    ZarvoSetErrorReport(record_report);
    g_reports.clear();
    ZarvoRecord rec{};
    ZarvoGetInfo(missing.c_str(), 256, &rec, 0);
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0].second, "Error");
    EXPECT_FALSE(g_reports[0].first.empty());
    ZarvoGetInfo(missing.c_str(), 256, &rec, 8);
    ZarvoGetInfo(missing.c_str(), 256, &rec, 8 | 4);
    EXPECT_EQ(g_reports.size(), 1u);
    ZarvoGetFileCRC(missing.c_str());  // the checksums never report
    EXPECT_EQ(g_reports.size(), 1u);
    ZarvoSetErrorReport(nullptr);
}

TEST(ExportedInterface, NullArgumentsWriteNothing) {
    ZarvoRecord rec{};
    EXPECT_EQ(ZarvoGetInfo(nullptr, 256, &rec, 8), 0);
    EXPECT_STREQ(rec.extension, "");
    EXPECT_EQ(ZarvoGetInfo("/tmp", 256, nullptr, 8), 0);
    EXPECT_EQ(ZarvoGetFileCRC(nullptr), 0u);
    EXPECT_EQ(ZarvoGetFileCRC32(nullptr), 0u);
    gGetWhatEx("zip", 1, nullptr);
    gGetNameEx("/a/b.c", 2, nullptr);
    char out[8] = "x";
    gGetNameEx(nullptr, 2, out);
    EXPECT_STREQ(out, "");
}

TEST(ExportedInterface, HelperExports) {
#ifdef _WIN32
    const char* path = R"(C:\data\Photo.JPG)";
    const char* folder = R"(C:\data\)";
#else
    const char* path = "/data/Photo.JPG";
    const char* folder = "/data/";
#endif
    char out[256];
    gGetNameEx(path, 2, out);
    EXPECT_STREQ(out, "JPG");  // no case change
    gGetNameEx(path, 4, out);
    EXPECT_STREQ(out, folder);
    std::memset(out, 'x', sizeof out);
    gGetWhatEx("zip", 0, out);
    EXPECT_STREQ(out, "");
    gGetWhatEx("no-such-kind", 1, out);
    EXPECT_STREQ(out, "");
}

TEST(RecordFields, LongTextsAreCutAtCharacterBoundaries) {
    char field[8];
    zarvo::copy_text(field, sizeof field, "abcdefghij");
    EXPECT_STREQ(field, "abcdefg");
    std::string kana = sj("ab漢字漢字");  // 2 + 4 double-byte characters
    zarvo::copy_text(field, sizeof field, kana);
    EXPECT_EQ(std::string(field), sj("ab漢字"));  // the third character would be split
    zarvo::copy_text(field, sizeof field, sj("ｱｲｳｴｵｶｷｸ"));  // half-width katakana are single bytes
    EXPECT_EQ(std::string(field), sj("ｱｲｳｴｵｶｷ"));
    zarvo::copy_text(field, sizeof field, "abc");
    EXPECT_STREQ(field, "abc");
}
