// The description catalogue: the stored texts, the lookup rules of both
// tables, gGetWhatEx and the choice of table for a result record, and the
// generator's refusal of tables that are off.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue.hpp"
#include "identify.hpp"
#include "support.hpp"
#include "zarvo32.h"

using oxtarn::test::sj;
using oxtarn::test::what;
using zarvo::catalogue::primary;
using zarvo::catalogue::secondary;

namespace {

struct Row {
    int table;
    const char* key;
    const char* text;  // UTF-8; the catalogue answers its Shift-JIS bytes
};

// Rows whose texts are fixed, misspellings and double blanks included.
constexpr Row kStoredRows[] = {
    {1, "123", "Loutus123 Worksheet File「表計算」"},
    {1, "1tx", "1toX Split File"},
    {1, "256", "戦う人間発電所 File"},
    {1, "5tq", "ごたくｸｲｽﾞ問題ﾌｧｲﾙ"},
    {1, "932", "ﾈｯﾄﾜｰｸｼｽﾃﾑ関連ﾌｧｲﾙ「OS」"},
    {1, "aac", "Advanced Audio Cording File「ｻｳﾝﾄﾞ」"},
    {1, "ace", "ACE Archive File「書庫」"},
    {1, "acm", "Sound CODECﾌｧｲﾙ「OS」"},
    {1, "ahy", "あひゃひゃ File「偽装」"},
    {1, "ai", "Adobe Illustrater File「画像」"},
    {1, "asd", "ASF ｽﾄﾘｰﾑの設定用ﾌｧｲﾙ"},
    {1, "asx", "Windows Media Audio/Video File「Stream Audio/Video ｼｮｰﾄｶｯﾄ」"},
    {1, "bmp", "Windows Bitmap File「画像」"},
    {1, "bpk", "超漢字 書庫管理ﾌｧｲﾙ「書庫」"},
    {1, "bsc", "Microsoft C/C++ ﾌﾞﾗｳｽﾞ情報ﾌｧｲﾙ"},
    {1, "dcr", "Director File「ﾏﾙﾁﾒﾃﾞｨｱ」"},
    {1, "dir", "Director File「ﾏﾙﾁﾒﾃﾞｨｱ」"},
    {1, "eml", "Microsoft Outlook Express Mail File「電子ﾒｰﾙ」"},
    {1, "exe", "Execution File「OS」"},
    {1, "fcd", "ｱｰｸ情報ｼｽﾃﾑ CD革命/Virtual Image File「仮想CD」"},
    {1, "fve", "FanFare  FanFare VideoEditor Project File"},
    {1, "gir", "御茶義理ﾌｧｲﾙ「情報」"},
    {1, "jpg", "Joint Photographic Coding Experts Group File「画像」"},
    {1, "jpeg", "Joint Photographic Coding Experts Group File「画像」"},
    {1, "jpe", "Joint Photographic Coding Experts Group File「画像」"},
    {1, "lcd", "Space International, CDSpace File「仮想CD」"},
    {1, "msg", "Microsoft Outlook Mail File「電子ﾒｰﾙ」"},
    {1, "nrr", "SOURCENEXT ｳｪﾌﾞ録  File「ｱﾌﾟﾘｹｰｼｮﾝ」"},
    {1, "ttg", "totoG File「分割情報」"},
    {1, "txt", "Text File「文章」"},
    {1, "vb", "Microsoft Visual Basic CE Project File 「実行ﾌｧｲﾙ」"},
    {1, "vdo", "VDOLive Script File(DVD Movie File)「Stream Audio/Video ｼｮｰﾄｶｯﾄ」"},
    {1, "vcd", "Virtual CD File「仮想CD」"},
    {1, "yhc", "ときめきメモリアル～おしえてYour heart～ File「画像」"},
    {1, "yhd", "ときめきメモリアル～おしえてYour heart～ File「画像」"},
    {1, "zip", "ZIP Archive File「書庫」"},
    {2, "lnk", "Windows CE Shortcut File"},
    {2, "ape", "Monkey's Audio File「ｻｳﾝﾄﾞ」"},
    {2, "bin", "VECTREX Image File「ROM」"},
    {2, "mcr", "PSEmuPro(Play Station Memory Card Data)「文章」"},
    {2, "gme", "Memory Station(Play Station Memory Card Data)"},
    {3, "bin", "CDRWIN Image File「CD-R」"},
    {4, "bin", "Mac Binary Archive File「書庫」"},
    {5, "p01", "7PLUS Archive Division File「書庫」"},
    {10, "bmp", "BMP忍者 - BITMAP File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {10, "txt", "K.A.D 顔文字 Crypt File「暗号化」"},
    {11, "txt", "あたたた符号化機 File「暗号化」"},
    {15, "aif", "げろしゃぶ - AIF File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {20, "tan", "蒲公英 - 復元情報 File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {50, "001", "神風 分割ファイル"},
    {51, "001", "ぽこにゃん分割ﾌｧｲﾙ"},
    {52, "dgz", "Dega State File「Emulator」"},
    {52, "gz", "GNU ZIP Archive File「書庫」"},
    {52, "sgm", "VisualBoyAdvance Save Data File「Emulator」"},
    {52, "tgz", "TGZ Archive File「書庫」"},
    {52, "000", "Snes9x State Save File「Emulator」"},
    {100, "exe", "梅葡萄(うめますかっと) File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {101, "exe", "うめ～このみかん File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {102, "exe", "944C82B682E182DE File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {103, "exe", "K.A.D File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {104, "exe", "FileHider File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {105, "exe", "影武者 File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {106, "exe", "Hermit File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {107, "exe", "梅 File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {108, "exe", "FileFaker File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {109, "exe", "GaoEncode File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {110, "exe", "Leasis File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {111, "exe", "のえみ File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {112, "exe", "SuperMan Code File「ｲﾝﾌﾟﾗﾝﾄ」"},
    {201, "---", "Microsoft SQL Server Backup File [Not EXT]"},
};

// Lookups that must answer the empty text.
constexpr Row kEmptyAnswers[] = {
    {1, "JPG", ""},  {1, "Jpg", ""},  {1, ".jpg", ""}, {1, "jpg ", ""}, {1, " jpg", ""},
    {1, "", ""},     {1, "jp", ""},   {1, "jpgx", ""},
    {1, "ape", ""},  // known to the secondary table only
    {1, "tan", ""},
    {1, "gz", ""},   // kinds the families answer but the primary table lacks
    {1, "mem", ""},  {1, "fr10", ""}, {1, "s01", ""}, {1, "r00", ""},
    {2, "jpg", ""},  // the primary table knows jpg; case 2 does not
    {2, "BIN", ""},  {3, "lnk", ""},  {20, "gif", ""},
    {0, "jpg", ""},  {-1, "jpg", ""}, {6, "bin", ""}, {30, "jpg", ""},
    {53, "gz", ""},  {200, "x", ""},  {1000, "jpg", ""},
    {5, "7pl", ""},  {5, "P01", ""},  {5, "", ""},  {5, "xp", ""},
};

std::string describe(int table, std::string_view key) { return std::string(zarvo::catalogue::describe(key, table)); }

}  // namespace

TEST(Catalogue, StoredRowsAnswerTheirExactBytes) {
    for (const Row& row : kStoredRows) {
        SCOPED_TRACE(std::to_string(row.table) + " " + row.key);
        EXPECT_EQ(what(row.key, row.table), sj(row.text));
    }
}

TEST(Catalogue, UnknownKeysAndCasesAnswerEmptyText) {
    for (const Row& row : kEmptyAnswers) {
        SCOPED_TRACE(std::to_string(row.table) + " '" + row.key + "'");
        EXPECT_EQ(describe(row.table, row.key), "");
        EXPECT_EQ(what(row.key, row.table), "");
    }
}

TEST(Catalogue, HalfWidthKatakanaStaySingleByte) {
    // "Sound CODEC" 11 bytes, ﾌｧｲﾙ 4, 「OS」 6.
    EXPECT_EQ(primary("acm").size(), 21u);
    // ぽこにゃん 10, 分割 4, ﾌｧｲﾙ 4; the full-width ファイル of case 50 takes 8.
    EXPECT_EQ(secondary("x", 51).size(), 18u);
    EXPECT_EQ(secondary("x", 50).size(), 17u);
    // The longest primary answer still fits the description field.
    EXPECT_EQ(primary("vdo").size(), 65u);
}

TEST(Catalogue, KeysJoinedInARowShareOneAnswer) {
    const std::vector<std::vector<std::string_view>> rows = {
        {"jpg", "jpeg", "jpe"}, {"tif", "tiff"}, {"lzh", "lzs"}, {"ra", "ram", "rm"},
        {"st0", "st5", "st9"}, {"fr0", "fr9"}, {"smd", "bin"}, {"bkf", "qic"},
    };
    for (const auto& keys : rows) {
        SCOPED_TRACE(std::string(keys.front()));
        EXPECT_NE(primary(keys.front()), "");
        for (std::string_view key : keys) EXPECT_EQ(primary(key), primary(keys.front()));
    }
    EXPECT_NE(primary("jfif"), primary("jpg"));  // a row of its own
}

TEST(Catalogue, SecondaryCaseRules) {
    // Rows keyed by extension: each variant of bin has its own case.
    EXPECT_NE(secondary("bin", 2), secondary("bin", 3));
    EXPECT_NE(secondary("bin", 3), secondary("bin", 4));
    EXPECT_EQ(secondary("ss2", 2), secondary("ssw", 2));
    EXPECT_EQ(secondary("st1", 3), secondary("st5", 3));
    EXPECT_EQ(secondary("st0", 3), "");
    // The memory-card rows of case 2 other than mcr carry no label.
    for (std::string_view key : {"gme", "mc", "mcd", "mci", "mem", "ps", "psm"}) {
        SCOPED_TRACE(std::string(key));
        EXPECT_TRUE(secondary(key, 2).ends_with(sj("(Play Station Memory Card Data)")));
    }
    // Case 5 looks at the first character only, and compares it with p exactly.
    const std::string division = sj("7PLUS Archive Division File「書庫」");
    for (std::string_view key : {"p", "p01", "pz", "pAB", "p7FF", "p.x"}) EXPECT_EQ(secondary(key, 5), division) << key;
    // Case 52: four rows of their own, then one answer for any other extension.
    const std::string state = sj("Snes9x State Save File「Emulator」");
    for (std::string_view key : {"000", "001", "GZ", "tar", ""}) EXPECT_EQ(secondary(key, 52), state) << key;
    // Cases with one answer for every extension do not look at it.
    for (int variant : {50, 51, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 201}) {
        SCOPED_TRACE(variant);
        const std::string_view answer = secondary("jpg", variant);
        EXPECT_NE(answer, "");
        for (std::string_view key : {"", "EXE", "pz", "some.thing"}) EXPECT_EQ(secondary(key, variant), answer);
    }
    // Carrier cases name the tool and the carrier; the txt rows of 10 and 11 a scrambler.
    EXPECT_EQ(secondary("htm", 10), secondary("html", 10));
    EXPECT_TRUE(secondary("jpg", 15).ends_with(sj(" - JPEG File「ｲﾝﾌﾟﾗﾝﾄ」")));
    EXPECT_TRUE(secondary("txt", 11).ends_with(sj("「暗号化」")));
}

TEST(Catalogue, GetWhatExTableNumbers) {
    EXPECT_EQ(what("jpg", 1), std::string(primary("jpg")));
    EXPECT_EQ(what("jpg", 0), "");
    EXPECT_EQ(what("jpg", -5), "");
    EXPECT_EQ(what("bin", 2), sj("VECTREX Image File「ROM」"));
    EXPECT_EQ(what("jpg", 20), sj("蒲公英 - JPEG File「ｲﾝﾌﾟﾗﾝﾄ」"));
    // A null extension writes empty text instead of failing.
    char out[256];
    out[0] = 'x';
    gGetWhatEx(nullptr, 1, out);
    EXPECT_EQ(out[0], '\0');
}

TEST(Catalogue, RecordTakesTheFirstEntryFromTheTableTheSelectorNames) {
    struct Case {
        const char* result;
        int variant;
        std::string description;
    };
    const Case cases[] = {
        {"jar,zip,wmz,wsz,nar", 1, what("jar", 1)},
        {"jpg,tan", 20, sj("蒲公英 - JPEG File「ｲﾝﾌﾟﾗﾝﾄ」")},
        {"tan,jpg", 20, sj("蒲公英 - 復元情報 File「ｲﾝﾌﾟﾗﾝﾄ」")},  // the present extension went first
        {"exe", 102, sj("944C82B682E182DE File「ｲﾝﾌﾟﾗﾝﾄ」")},
        {",001,002,003", 51, sj("ぽこにゃん分割ﾌｧｲﾙ")},  // split list A: the first entry is empty
        {"000,001,002", 52, sj("Snes9x State Save File「Emulator」")},
        {"gz", 1, ""},  // variant 1 never falls back to the secondary table
        {"jpg", 2, ""},
        {"xxx", 100, sj("梅葡萄(うめますかっと) File「ｲﾝﾌﾟﾗﾝﾄ」")},
        {"---", 201, sj("Microsoft SQL Server Backup File [Not EXT]")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        zarvo::Identification id;
        id.status = zarvo::Identification::Status::kRead;
        id.result = c.result;
        id.context.variant = c.variant;
        id.context.detail = "Level 2";
        const zarvo::Result r = zarvo::to_result(id);
        EXPECT_EQ(r.extensions, c.result);
        EXPECT_EQ(r.description, c.description);
        EXPECT_EQ(r.detail, "Level 2");
    }
}

// The generator refuses tables whose rows, keys or labels are off, so such a
// table never reaches the engine.
TEST(CatalogueGenerator, RefusesTablesThatAreOff) {
    namespace fs = std::filesystem;
    const fs::path source = fs::path(__FILE__).parent_path().parent_path();
    const fs::path tool = source / "tools" / "gen_catalogue.py";
    auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    const std::string primary_text = read(source / "engine" / "catalogue" / "primary.txt");
    const std::string secondary_text = read(source / "engine" / "catalogue" / "secondary.txt");
    ASSERT_FALSE(primary_text.empty());
    ASSERT_FALSE(secondary_text.empty());
    if (std::system("python3 -c pass") != 0) GTEST_SKIP() << "python3 is not available";

    oxtarn::test::TempDir dir;
    auto generate = [&](const std::string& p, const std::string& s) {
        const std::string pp = dir.write("p.txt", p), sp = dir.write("s.txt", s);
        const std::string command = "python3 '" + tool.string() + "' '" + pp + "' '" + sp + "' '" + dir.path() +
                                    "/out.inc' '" + dir.path() + "/variants.hpp' 2>/dev/null";
        return std::system(command.c_str()) == 0;
    };
    auto replace = [](std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };

    EXPECT_TRUE(generate(primary_text, secondary_text));
    const std::pair<std::string, std::function<bool()>> broken[] = {
        {"a primary row missing", [&] { return generate(replace(primary_text, "zz | ZZ Archive File | 「書庫」\n", ""), secondary_text); }},
        {"a key in two rows", [&] { return generate(replace(primary_text, "zz | ZZ", "zip | ZZ"), secondary_text); }},
        {"a key that is not lower case", [&] { return generate(replace(primary_text, "zz | ZZ", "ZZ | ZZ"), secondary_text); }},
        {"a row moved to another label", [&] { return generate(replace(primary_text, "ZZ Archive File | 「書庫」", "ZZ Archive File | 「画像」"), secondary_text); }},
        {"a label outside the list", [&] { return generate(replace(primary_text, "ZZ Archive File | 「書庫」", "ZZ Archive File | 「圧縮」"), secondary_text); }},
        {"an answer too long", [&] { return generate(replace(primary_text, "ZZ Archive File", "ZZ " + std::string(60, 'x') + " File"), secondary_text); }},
        {"a secondary row missing", [&] { return generate(primary_text, replace(secondary_text, "22 | jpg | FakeRar - JPEG File | 「ｲﾝﾌﾟﾗﾝﾄ」\n", "")); }},
        {"the disguise label in the secondary table", [&] { return generate(primary_text, replace(secondary_text, "FakeRar - JPEG File | 「ｲﾝﾌﾟﾗﾝﾄ」", "FakeRar - JPEG File | 「偽装」")); }},
        {"a text outside the code page", [&] { return generate(primary_text, replace(secondary_text, "FakeRar - JPEG", "FakeRar \u00E9 JPEG")); }},
    };
    for (const auto& [what_is_wrong, run] : broken) EXPECT_FALSE(run()) << what_is_wrong;
}

// The known-extension list's generator refuses entries the interface could not
// hand out as they stand, and a text longer than the callers' buffer.
TEST(ExtensionListGenerator, RefusesListsThatAreOff) {
    namespace fs = std::filesystem;
    const fs::path source = fs::path(__FILE__).parent_path().parent_path();
    const fs::path tool = source / "tools" / "gen_ext_list.py";
    std::ifstream in(source / "engine" / "catalogue" / "known_extensions.txt", std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    const std::string list = read.str();
    ASSERT_NE(list.find("\nzz\n"), std::string::npos);
    if (std::system("python3 -c pass") != 0) GTEST_SKIP() << "python3 is not available";

    oxtarn::test::TempDir dir;
    auto generate = [&](const std::string& text) {
        const std::string path = dir.write("list.txt", text);
        const std::string command = "python3 '" + tool.string() + "' '" + path + "' '" + dir.path() + "/out.hpp' 2>/dev/null";
        return std::system(command.c_str()) == 0;
    };
    EXPECT_TRUE(generate(list));
    std::string long_list = list;
    for (int i = 0; i < 40; ++i) long_list += "longer" + std::to_string(100 + i) + "\n";
    const std::pair<const char*, std::string> broken[] = {
        {"an entry twice", list + "zip\n"},
        {"an entry not in lower case", list + "ZZZ\n"},
        {"an entry with a dot", list + ".abc\n"},
        {"an entry too long", list + "abcdefghij\n"},
        {"a text the buffer cannot hold", long_list},
    };
    for (const auto& [what_is_wrong, text] : broken) EXPECT_FALSE(generate(text)) << what_is_wrong;
}

TEST(CatalogueThroughTheChain, SelectorPicksTheTableAfterCandidateOrdering) {
    // A gzip header that is not the exact ten-byte one: the numbered-part list
    // with variant 52, whose description follows the entry that the file's
    // name puts first.
    const std::string gzip = oxtarn::test::bytes("1F8B0808000000000003") + "payload";
    struct Case {
        const char* name;
        const char* first;
    } cases[] = {{"x.bin", "tgz"}, {"x.sgm", "sgm"}, {"x.GZ", "gz"}, {"x.003", "003"}};
    for (const Case& c : cases) {
        oxtarn::test::Record r = oxtarn::test::identify_bytes(gzip, 256, 8, c.name);
        EXPECT_EQ(r.extension.substr(0, r.extension.find(',')), c.first) << c.name;
        EXPECT_EQ(r.description, oxtarn::test::what(c.first, 52)) << c.name;
        EXPECT_FALSE(r.description.empty()) << c.name;
    }
    EXPECT_NE(oxtarn::test::what("tgz", 52), oxtarn::test::what("sgm", 52));
    EXPECT_EQ(oxtarn::test::what("003", 52), oxtarn::test::what("xyz", 52));  // any other extension
}
