// The exported C interface of the engine library.
#include <gtest/gtest.h>

#include "platform/windows.hpp"

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
        "ZarvoGetInfo", "ZarvoGetInfoFromMemory", "ZarvoGetVersion", "ZarvoGetExNumKind", "ZarvoGetExNumPattern", "ZarvoGetExtListLength",
        "ZarvoGetExtList", "ZarvoGetFileCRC", "ZarvoGetFileCRC32", "ZarvoSetErrorReport",
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

// Bytes in memory are answered exactly as a file holding them, whatever
// stage answers (chain, footer, tail test, window scan past the head, the
// MacBinary cut, the current-formats layer), for every option combination.
TEST(ExportedInterface, MemoryIsIdentifiedAsAFileWithTheSameBytes) {
    using oxtarn::test::bytes;
    using oxtarn::test::file_with;
    TempDir dir;
    std::string noise(5000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 131 + i / 7);
    const std::vector<std::string> contents = {
        "",
        file_with(64, {{0, "504B0304"}}),
        file_with(64, {{2, "2D6C68352D"}}),
        file_with(600, {{0, "474946383961"}, {589, "00003B"}}),
        file_with(40000, {{0, "474946383961"}, {30000, "2D2D4E4B204C6576656C20312D2D"}}),
        file_with(40000, {{30000, "00947E959293B800"}}),
        file_with(300, {{296, "00A00040"}}),
        file_with(300, {{128, "504B0304"}}),
        noise,
    };
    struct Name {
        const char* given;  // to the memory call
        const char* file;   // the file's name
    };
    const Name names[] = {{"sample.bin", "sample.bin"}, {"x.JAR", "x.JAR"}, {"dir/noext", "noext"}, {nullptr, "noext"}};
    for (std::size_t c = 0; c < contents.size(); ++c) {
        for (const Name& name : names) {
            std::string path = dir.write(name.file, contents[c]);
            for (std::int32_t sample : {0, 256, 6000, 40000}) {
                for (std::uint32_t options = 0; options < 32; ++options) {
                    ZarvoRecord from_file, from_memory;
                    std::memset(&from_file, 'x', sizeof from_file);
                    std::memset(&from_memory, 'x', sizeof from_memory);
                    ZarvoGetInfo(path.c_str(), sample, &from_file, options | 8);
                    EXPECT_EQ(ZarvoGetInfoFromMemory(contents[c].data(), contents[c].size(), name.given, sample,
                                                     &from_memory, options | 8),
                              0);
                    ASSERT_EQ(std::memcmp(&from_file, &from_memory, sizeof from_file), 0)
                        << "content " << c << ", name " << name.file << ", sample " << sample << ", options "
                        << options << ": " << from_file.extension << " / " << from_memory.extension;
                }
            }
        }
    }
}

TEST(ExportedInterface, MemoryWithoutBytesOrRecordWritesNothing) {
    ZarvoRecord rec;
    std::memset(&rec, 'x', sizeof rec);
    EXPECT_EQ(ZarvoGetInfoFromMemory(nullptr, 10, "a.zip", 256, &rec, 8), 0);
    EXPECT_EQ(rec.extension[0], 'x');
    EXPECT_EQ(ZarvoGetInfoFromMemory("PK\003\004", 4, "a.zip", 256, nullptr, 8), 0);
    // No bytes at all: the empty content, answered as an empty file is.
    EXPECT_EQ(ZarvoGetInfoFromMemory(nullptr, 0, nullptr, 256, &rec, 8), 0);
    EXPECT_STREQ(rec.extension, "?");
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
