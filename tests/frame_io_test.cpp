// The sample reader, the window scan and the file checksums.
#include <gtest/gtest.h>

#include "platform/windows.hpp"

#include <filesystem>
#include <fstream>
#include <vector>

#include "refine/refine.hpp"
#include "crc.hpp"
#include "identify.hpp"
#include "platform/platform.hpp"
#include "sample.hpp"
#include "support.hpp"

using namespace zarvo;
using oxtarn::test::TempDir;

namespace {

std::string counting_bytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

Sample sample_of(const std::string& path, std::int32_t length) {
    platform::File f = platform::File::open(path.c_str());
    Sample s;
    EXPECT_TRUE(read_sample(Source::of_file(f), length, true, s));
    return s;
}

}  // namespace

TEST(SampleReader, HeadAndTailRules) {
    TempDir dir;
    std::string data = counting_bytes(5000);
    struct Case {
        std::size_t file_size;
        std::int32_t sample;
        std::size_t head, tail_start, tail;
    } cases[] = {
        {0, 256, 0, 0, 0},
        {100, 256, 100, 0, 100},
        {1024, 256, 256, 0, 1024},
        {1025, 256, 256, 1, 1024},
        {5000, 3000, 3000, 3976, 1024},
        {5000, 0, 0, 3976, 1024},
        {5000, -5, 0, 3976, 1024},
        {5000, 90000, 5000, 3976, 1024},  // clamped to 40000, the file is shorter
    };
    for (const Case& c : cases) {
        std::string content = data.substr(0, c.file_size);
        Sample s = sample_of(dir.write("f.bin", content), c.sample);
        EXPECT_EQ(s.size, c.file_size);
        EXPECT_EQ(s.head, content.substr(0, c.head)) << c.file_size << "/" << c.sample;
        EXPECT_EQ(s.tail, content.substr(c.tail_start, c.tail)) << c.file_size;
    }
}

TEST(SampleReader, TailOnlyWhenAsked) {
    TempDir dir;
    platform::File f = platform::File::open(dir.write("f.bin", counting_bytes(3000)).c_str());
    Sample s;
    ASSERT_TRUE(read_sample(Source::of_file(f), 256, false, s));
    EXPECT_EQ(s.head.size(), 256u);
    EXPECT_TRUE(s.tail.empty());
    EXPECT_EQ(s.size, 3000u);
}

TEST(SampleReader, OnlyRegularFilesOpen) {
    TempDir dir;
    std::vector<std::string> paths = {dir.path(), oxtarn::test::not_regular_file(dir), dir.file("missing")};
#ifndef _WIN32
    paths.push_back("/dev/zero");
#endif
    for (const std::string& p : paths) {
        platform::File f = platform::File::open(p.c_str());
        EXPECT_FALSE(f.is_open()) << p;
        EXPECT_FALSE(platform::error_text(f.error()).empty());
    }
}

TEST(SampleReader, SparseFileBeyondFourGiBTakesTheTrueEnd) {
    TempDir dir;
    std::string path = dir.write("big.bin", "HEAD");
    const std::uint64_t size = (1ull << 32) + 5000;
    {
        std::ofstream f(path, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(static_cast<std::streamoff>(size - 4));
        f.write("TAIL", 4);
    }
    Sample s = sample_of(path, 256);
    EXPECT_EQ(s.size, size);
    EXPECT_EQ(s.head.substr(0, 4), "HEAD");
    ASSERT_EQ(s.tail.size(), 1024u);
    EXPECT_EQ(s.tail.substr(1020), "TAIL");
}

TEST(WindowScan, WindowsOverlapBy64Bytes) {
    TempDir dir;
    struct Case {
        std::size_t size;
        std::vector<std::uint64_t> starts;
        std::size_t last_bytes;
    } cases[] = {
        {0, {0}, 0},
        {2999, {0}, 2999},
        {3000, {0, 2936}, 64},
        {6000, {0, 2936, 5872}, 128},
    };
    for (const Case& c : cases) {
        std::string data = counting_bytes(c.size);
        platform::File f = platform::File::open(dir.write("w.bin", data).c_str());
        std::vector<std::uint64_t> starts;
        std::size_t last = 0;
        std::string answer = refine::scan_windows(Source::of_file(f), [&](std::string_view w, std::uint64_t start) {
            starts.push_back(start);
            last = w.size();
            EXPECT_EQ(w, data.substr(start, last));
            return std::string();
        });
        EXPECT_EQ(answer, "");
        EXPECT_EQ(starts, c.starts) << c.size;
        EXPECT_EQ(last, c.last_bytes) << c.size;
    }
}

TEST(WindowScan, StopsAtTheFirstAnswerAndAtTheCap) {
    TempDir dir;
    std::string path = dir.write("big.bin", "");
    std::filesystem::resize_file(path, 12'000'000);
    platform::File f = platform::File::open(path.c_str());
    int windows = 0;
    std::uint64_t last_start = 0;
    EXPECT_EQ(refine::scan_windows(Source::of_file(f), [&](std::string_view, std::uint64_t start) {
                  ++windows;
                  last_start = start;
                  return std::string();
              }),
              "");
    EXPECT_EQ(windows, refine::kMaxWindows);
    EXPECT_EQ(last_start, 10'261'320u);

    windows = 0;
    EXPECT_EQ(refine::scan_windows(Source::of_file(f), [&](std::string_view, std::uint64_t) { return ++windows == 10 ? "mid" : ""; }),
              "mid");
    EXPECT_EQ(windows, 10);
}

TEST(FileChecksums, CheckValues) {
    TempDir dir;
    struct Case {
        std::string content;
        std::uint16_t crc16;
        std::uint32_t crc32;
    } cases[] = {
        {"123456789", 0x6F91, 0xCBF43926},
        {"abc", 0x61DA, 0x352441C2},
        {"", 0xFFFF, 0},
    };
    for (const Case& c : cases) {
        std::string p = dir.write("c.bin", c.content);
        EXPECT_EQ(file_crc16(p.c_str()), c.crc16) << c.content;
        EXPECT_EQ(file_crc32(p.c_str()), c.crc32) << c.content;
    }
    // Whole blocks: 1024 and 2048 bytes give the checksum of every byte.
    for (std::size_t n : {1024u, 2048u, 2500u}) {
        std::string data = counting_bytes(n);
        std::string p = dir.write("b.bin", data);
        EXPECT_EQ(file_crc32(p.c_str()), ~Crc32::update(0xFFFFFFFF, data)) << n;
        EXPECT_EQ(file_crc16(p.c_str()), Crc16::update(0xFFFF, data)) << n;
    }
    EXPECT_EQ(file_crc16(dir.file("missing").c_str()), 0);
    EXPECT_EQ(file_crc32(dir.path().c_str()), 0u);
}

TEST(SampleReader, ImagesForTheOptionBits) {
    Sample s{counting_bytes(256), counting_bytes(300), 300};
    Images plain = render(s, 0);
    EXPECT_EQ(plain.head.text(), text::to_hex(s.head));
    EXPECT_TRUE(plain.tail.empty());
    Images mac = render(s, kMacBinary | kFooter);
    EXPECT_EQ(mac.head.text(), text::to_hex(s.head.substr(128)));
    EXPECT_EQ(mac.tail.text(), text::to_hex(s.tail));  // the tail keeps its first bytes
    EXPECT_TRUE(render(Sample{counting_bytes(100), "", 100}, kMacBinary).head.empty());
}

TEST(Identify, ContextValuesOfOneFile) {
    TempDir dir;
    std::string path = dir.write("Photo.JPG", counting_bytes(2000));
    Identification id = identify(path.c_str(), 256, kQuiet);
    EXPECT_EQ(id.status, Identification::Status::kRead);
    EXPECT_EQ(id.context.present_ext, "jpg");
    EXPECT_EQ(id.context.file_size, 2000u);
    EXPECT_EQ(id.context.variant, 1);
    Identification missing = identify(dir.file("none").c_str(), 256, kQuiet);
    EXPECT_EQ(missing.status, Identification::Status::kOpenFailed);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_EQ(to_result(missing).extensions, "?");
}

#ifdef _WIN32
TEST(PresentExtension, LowerCaseNeverSplitsADoubleByteCharacter) {
    if (::GetACP() != 932) GTEST_SKIP() << "needs the code page 932 (LC_ALL=ja_JP.UTF-8 under wine)";
    using oxtarn::test::sj;
    struct Case {
        std::string ext, want;
    } cases[] = {
        {"JPG", "jpg"},
        {sj("ア"), sj("ア")},  // 83 41: the second byte is no letter A
        {sj("ZIPアB"), sj("zipアb")},
        {sj("ｱA"), sj("ｱa")},  // half-width katakana are single bytes
        {"A\x83", "a\x83"},    // a lead byte without its second byte stays
    };
    for (const Case& c : cases) EXPECT_EQ(platform::lower_extension(c.ext), c.want) << c.ext;
}
#endif
