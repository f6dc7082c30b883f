// The frame of the current-formats layer: how option bit 16 joins the layer
// and the classic chain, the probe's bound, and the kinds' descriptions and
// names as the records and the exports give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "candidates.hpp"
#include "current/catalogue.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"
#include "identify.hpp"
#include "support.hpp"
#include "text.hpp"
#include "zarvo32.h"

using namespace zarvo;
using oxtarn::test::bytes;
using oxtarn::test::file_with;
using oxtarn::test::TempDir;

namespace {

std::string counting_bytes(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

// A ZIP whose end record points its directory far outside the file.
std::string lying_zip(std::size_t size) {
    std::string z = bytes("504B0304") + std::string(size - 26, 'z');
    z += bytes("504B0506 0000 0000 FFFF FFFF FFFFFF7F FFFFFF7F 0000");
    return z;
}

struct FileCase {
    std::string name;
    std::string content;
};

// Files of kinds old and new, near misses and hostile ones.
std::vector<FileCase> fixture_files() {
    return {
        {"empty.bin", ""},
        {"text.txt", "hello, world\n"},
        {"a.gz", bytes("1F8B0800000000000003") + std::string(40, 'x')},
        {"a.png", bytes("89504E470D0A1A0A0000000D49484452000000100000001008060000001FF3FF61")},
        {"a.mp4", bytes("00000018667479706D703432000000006D70343269736F6D") + std::string(64, '\0')},
        {"a.elf", bytes("7F454C4602010100000000000000000002003E0001000000") + std::string(64, '\0')},
        {"a.7z", bytes("377ABCAF271C0004") + std::string(32, '\0')},
        {"a.db", std::string("SQLite format 3") + '\0' + std::string(100, '\0')},
        {"a.zip", lying_zip(300)},
        {"big.bin", counting_bytes(1 << 20)},
        // row 21 of the console table looks at byte 640: a sample of 256
        // bytes must not see it, however long the shared read was
        {"rom.bin", file_with(1024, {{640, "45414D47"}})},
        {"tar.bin", file_with(1024, {{257, "7573746172003030"}})},
        {"M4V.m4v", bytes("000000186674797069736F6D0000020069736F6D6D703431") + std::string(64, '\0')},
    };
}

}  // namespace

// With bit 16 the layer's answer stands when it answers (candidates ordered
// by the present extension, its catalogue's description, its detail);
// otherwise the record is exactly the record without the bit. Without bit 16
// the layer is never asked.
TEST(CurrentFrame, LayerAnswerStandsElseTheChainRuns) {
    TempDir dir;
    for (const FileCase& f : fixture_files()) {
        std::string path = dir.write(f.name, f.content);
        std::string ext(text::field(f.name, 2, "."));
        for (std::uint32_t options : {8u, 8u | 2u, 8u | 4u, 8u | 1u, 8u | 2u | 4u}) {
            for (std::int32_t sample : {0, 256, 4000, 40000}) {
                SCOPED_TRACE(f.name + " options " + std::to_string(options) + " sample " + std::to_string(sample));
                Identification off = identify(path.c_str(), sample, options);
                EXPECT_FALSE(off.by_current);
                Identification on = identify(path.c_str(), sample, options | kCurrent);
                Result on_result = to_result(on);
                if (!on.by_current) {
                    Result off_result = to_result(off);
                    EXPECT_EQ(on_result.extensions, off_result.extensions);
                    EXPECT_EQ(on_result.description, off_result.description);
                    EXPECT_EQ(on_result.detail, off_result.detail);
                    EXPECT_EQ(on.context.variant, off.context.variant);
                    continue;
                }
                current::Probe probe = current::Probe::of_bytes(f.content, ext);
                Context ctx;
                ctx.options = options | kCurrent;
                std::string answer = current::identify(probe, ctx);
                ASSERT_FALSE(answer.empty());
                EXPECT_EQ(on.kind, text::field(answer, 1));
                EXPECT_EQ(on_result.extensions, order_candidates(answer, ext));
                EXPECT_EQ(on_result.description, current::describe(on.kind));
                EXPECT_FALSE(on_result.description.empty()) << on.kind << " has no catalogue line";
                EXPECT_EQ(on_result.detail, ctx.detail);
            }
        }
    }
}

TEST(CurrentFrame, ClassicSampleIsCutBackAfterTheSharedRead) {
    TempDir dir;
    std::string path = dir.write("rom.bin", file_with(1024, {{640, "45414D47"}}));
    for (std::uint32_t options : {8u, 8u | 16u}) {
        EXPECT_EQ(to_result(identify(path.c_str(), 256, options)).extensions, "?") << options;
        EXPECT_EQ(to_result(identify(path.c_str(), 1000, options)).extensions, "smd") << options;
    }
}

// The probe never reads more than its budget of one file, whatever is asked,
// and regions inside the head cost nothing.
TEST(CurrentFrame, ProbeStaysWithinItsBudget) {
    const std::string big = counting_bytes(1 << 20);
    current::Probe p = current::Probe::of_bytes(big);
    EXPECT_EQ(p.head(), std::string_view(big).substr(0, current::kHeadBytes));
    EXPECT_EQ(p.spent(), current::kHeadBytes);
    EXPECT_EQ(p.read(100, 1000), std::string_view(big).substr(100, 1000));
    EXPECT_EQ(p.spent(), current::kHeadBytes);
    EXPECT_EQ(p.tail(22), std::string_view(big).substr(big.size() - 22));
    std::string_view a = p.read(32768, 40000);
    EXPECT_EQ(a, std::string_view(big).substr(32768, 40000));
    std::string_view b = p.read(500000, 40000);  // only what is left of the budget
    EXPECT_EQ(b, std::string_view(big).substr(500000, current::kBudget - current::kHeadBytes - 22 - 40000));
    EXPECT_EQ(p.read(900000, 10), "");
    EXPECT_EQ(p.tail(1), "");
    EXPECT_EQ(p.spent(), current::kBudget);
    EXPECT_EQ(a, std::string_view(big).substr(32768, 40000)) << "regions stay valid";
    EXPECT_EQ(p.read(big.size(), 10), "");
    EXPECT_EQ(p.read(~0ull, 10), "");

    // The layer itself, over large files of every sort it may walk.
    const std::vector<std::string> files = {
        big, lying_zip(1 << 20), file_with(1 << 20, {{0, "504B0304"}, {(1 << 20) - 22, "504B0506"}}),
        file_with(1 << 20, {{32769, "4344303031"}, {257, "7573746172"}}),
        file_with(1 << 20, {{0, "000000006674797069736F6D"}}),
        file_with(1 << 20, {{0, "D0CF11E0A1B11AE1"}}),
        file_with(1 << 20, {{0, "1A45DFA3"}}),
    };
    for (const std::string& f : files) {
        current::Probe probe = current::Probe::of_bytes(f);
        Context ctx;
        ctx.options = kCurrent;
        current::identify(probe, ctx);
        EXPECT_LE(probe.spent(), current::kBudget);
    }
}

// A probe given the classic sample's bytes takes its head from them and
// reads nothing more.
TEST(CurrentFrame, ProbeSharesTheHeadRead) {
    const std::string file = counting_bytes(10000);
    for (std::size_t given : {std::size_t{0}, std::size_t{100}, current::kHeadBytes, std::size_t{8000}}) {
        std::string first = file.substr(0, given);
        first.replace(0, std::min<std::size_t>(given, 4), std::string(std::min<std::size_t>(given, 4), 'Q'));
        current::Probe p(Source::of_bytes(file), first, "bin");
        EXPECT_EQ(p.head(), std::string_view(first).substr(0, current::kHeadBytes)) << given;
        EXPECT_EQ(p.spent(), p.head().size());
        EXPECT_EQ(p.size(), file.size());
    }
}

// Every answer written as fixed text in the groups' tables has its
// catalogue line: a description, an English name and a MIME type.
TEST(CurrentFrame, EveryFixedAnswerIsCatalogued) {
    std::function<void(std::span<const rules::Row>, std::string_view)> walk =
        [&](std::span<const rules::Row> rows, std::string_view group) {
            for (const rules::Row& row : rows) {
                walk(row.subs, group);
                if (row.answer.compute || row.answer.falls_through || row.answer.text.empty()) continue;
                std::string_view key = text::field(row.answer.text, 1);
                EXPECT_FALSE(current::describe(key).empty()) << group << " row " << row.id << ": " << key;
                EXPECT_FALSE(current::kind_name(key).mime.empty()) << group << " row " << row.id << ": " << key;
            }
        };
    for (const current::Group& g : current::groups()) walk(g.table().rows(), g.name);
}

TEST(CurrentFrame, KindNames) {
    struct Case {
        const char* extensions;
        int known;
        std::string name;
        std::string mime;
    };
    const std::vector<Case> cases = {
        {"png", 1, "PNG image", "image/png"},
        {"PNG", 1, "PNG image", "image/png"},
        {"jpeg,jpg,jpe", 1, "JPEG image", "image/jpeg"},
        {"lzh,lzs", 1, "LHA archive", "application/x-lha"},
        {"bmp", 1, "Windows bitmap image", "image/bmp"},
        // a kind both layers know: the current catalogue's name comes first
        {"doc,dot", 1, std::string(current::kind_name("doc").name), std::string(current::kind_name("doc").mime)},
        {"?", 0, "", ""},
        {"", 0, "", ""},
        {",png", 0, "", ""},
        {"2bp", 0, "", ""},  // a classic kind with no registered type
        {nullptr, 0, "", ""},
    };
    for (const Case& c : cases) {
        char name[256];
        char mime[128];
        std::memset(name, 'x', sizeof name);
        std::memset(mime, 'x', sizeof mime);
        EXPECT_EQ(ZarvoGetKindName(c.extensions, name, mime), c.known) << (c.extensions ? c.extensions : "null");
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(mime, c.mime);
    }
    EXPECT_EQ(ZarvoGetKindName("png", nullptr, nullptr), 1);
    EXPECT_FALSE(current::describe("doc").empty());
    EXPECT_EQ(current::classic_kind_name("doc").name, "Microsoft Word document");

    // Through the core: a classic answer is named by the classic names alone.
    TempDir dir;
    std::string png = dir.write("a.dat", bytes("89504E470D0A1A0A0000000D49484452"));
    Identification id = identify(png.c_str(), 256, 8);
    current::KindName kind = kind_name(id);
    EXPECT_EQ(kind.name, "PNG image");
    EXPECT_EQ(kind.mime, "image/png");
    EXPECT_EQ(kind_name(identify(dir.write("b.dat", "").c_str(), 256, 8)).name, "");
}

TEST(CurrentFrame, CurrentExtensionList) {
    const std::int32_t length = ZarvoGetCurrentExtListLength();
    ASSERT_GE(length, 1);
    std::vector<char> buf(static_cast<std::size_t>(length), 'x');
    const std::int32_t count = ZarvoGetCurrentExtList(buf.data(), length);
    std::string list(buf.data());
    EXPECT_EQ(list.size() + 1, static_cast<std::size_t>(length));
    EXPECT_EQ(list, current::extension_list());
    std::size_t entries = list.empty() ? 0 : static_cast<std::size_t>(std::count(list.begin(), list.end(), ',')) + 1;
    EXPECT_EQ(static_cast<std::size_t>(count), entries);
    for (std::int32_t i = 1; i <= count; ++i) {
        std::string ext(text::field(list, i));
        EXPECT_FALSE(current::describe(ext).empty()) << ext;
        char name[256];
        char mime[128];
        EXPECT_EQ(ZarvoGetKindName(ext.c_str(), name, mime), 1) << ext;
    }
    // Too small a buffer gets an empty text; none at all, only the number.
    if (length > 1) {
        std::vector<char> small(static_cast<std::size_t>(length - 1), 'x');
        EXPECT_EQ(ZarvoGetCurrentExtList(small.data(), length - 1), count);
        EXPECT_EQ(small[0], '\0');
    }
    EXPECT_EQ(ZarvoGetCurrentExtList(nullptr, 0), count);
    char one = 'x';
    ZarvoGetCurrentExtList(&one, 0);
    EXPECT_EQ(one, 'x');
}
