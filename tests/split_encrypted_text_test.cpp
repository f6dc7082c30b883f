// The split-file, encrypted-file and text-encoding families through the
// exported interface: one file per row, the whole result record checked.
// These families come after the archive family, so every file here is one
// that no archive row answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "context.hpp"
#include "families/families.hpp"
#include "hex_image.hpp"
#include "support.hpp"

using namespace oxtarn::test;

namespace {

struct Case {
    const char* row;
    std::string content;
    std::string ext;
    int variant = 1;
    std::string detail = "";
};

using Detector = const zarvo::rules::Table& (*)();  // a family's table

// The detector does not answer the file and leaves variant and detail text alone.
void no_answer(Detector detect, const std::string& content) {
    zarvo::Context ctx;
    EXPECT_EQ(zarvo::rules::run(detect(), zarvo::HexImage::of_bytes(content), ctx), "") << content.size() << " bytes";
    EXPECT_EQ(ctx.variant, 1);
    EXPECT_EQ(ctx.detail, "");
}

// Checks each case through ZarvoGetInfo, and that the file without its last
// byte (the last byte the row reads) is no longer given the row's answer.
void check_rows(Detector detect, const std::vector<Case>& cases) {
    std::vector<RowCase> rows;
    for (const Case& c : cases) rows.push_back({c.row, c.content, expected(c.ext, c.variant, c.detail)});
    oxtarn::test::check_rows(rows, &detect());
}

// ",001,...,100" and "d02,...,d09".
std::string numbered(const char* first, const char* format, int from, int to) {
    std::string list = first;
    char part[8];
    for (int n = from; n <= to; ++n) {
        std::snprintf(part, sizeof part, format, n);
        list += part;
    }
    return list;
}

const std::string kListA = numbered("", ",%03d", 1, 100);

}  // namespace

TEST(SplitFamily, EveryRow) {
    check_rows(zarvo::families::split_table, {
        {"1", bytes("506F6B6F6E7961"), kListA, 51},
        {"2", bytes("032D4A44332D"), "d01"},
        {"3", bytes("2D4A44332D"), numbered("d02", ",d%02d", 3, 9)},
        {"4", bytes("4326438C3C"), "cac"},
        {"5", bytes("476F636861486561646572"), "gir"},
        {"6", bytes("A99A8DD1CFD1CECD"), "moe", 2},
        {"7", bytes("49594144455355"), "moe", 3},
        {"8", bytes("4C4D3301"), "lvm", 1, sj("新形式")},
        {"9", bytes("4C4D3100"), "lvm", 1, sj("旧形式")},
        {"10", bytes("41414141414165006C00F800"), "bif"},
        {"11", bytes("1A82C882BC82B682E182DE00"), "jam"},
        {"12", bytes("1A82C882BC82B682E182DE72"), "jmr"},
        {"13", bytes("52455A"), "rez"},
        {"14", bytes("747447"), "ttg"},
        {"15", bytes("4B616D694B617A6500"), "000,001,002,003,004,005,006,007,008,009", 50},
        {"16", bytes("4469766964654C6F6720666F7220905F9597"), "log"},
        {"17 F0", bytes("F0FEFF"), "256"},
        {"17 FF", bytes("FFFEFF"), "256"},
    });
}

TEST(SplitFamily, NumberedListsAndPresentExtension) {
    EXPECT_EQ(kListA.size(), 400u);
    // List A keeps its empty first entry behind the part the file carries.
    std::string ordered = kListA;
    ordered.erase(ordered.find(",047"), 4);
    EXPECT_EQ(identify_bytes(bytes("506F6B6F6E7961"), 256, 8, "x.047"), expected("047," + ordered, 51));
    EXPECT_EQ(identify_bytes(bytes("2D4A44332D"), 256, 8, "x.d05"), expected("d05,d02,d03,d04,d06,d07,d08,d09"));
    EXPECT_EQ(identify_bytes(bytes("4B616D694B617A6500"), 256, 8, "x.009"),
              expected("009,000,001,002,003,004,005,006,007,008", 50));
}

TEST(SplitFamily, NearMisses) {
    using zarvo::families::split_table;
    no_answer(split_table, bytes("FEFF00"));  // bytes 1 and 2 are FF 00
    no_answer(split_table, bytes("EFFEFF"));  // high digit E
    no_answer(split_table, bytes("4C4D3302"));
    no_answer(split_table, bytes("002D4A44332D"));
}

TEST(EncryptedFamily, EveryRow) {
    check_rows(zarvo::families::encrypted_table, {
        {"1", bytes("4D4B47"), "mkg"},
        {"2", bytes("454E4352595054454420425920"), "enc"},
        {"3", bytes("4D6563687220"), "mcr", 2},
        {"4", bytes("47414F45A04D"), "gao"},
        {"5", bytes("6C65616632"), "moe"},
        {"6", bytes("545F54696261"), "pon"},
        {"7", bytes("4C5F7642042A46E0"), "jpz"},
        {"8", bytes("816260814C8162"), "txt", 10},
        {"9 あたたた", sj("あたたた"), "txt", 11},
        {"9 たあたあ", sj("たあたあ"), "txt", 11},
        {"9 ああああ", sj("ああああ"), "txt", 11},
    });
}

TEST(EncryptedFamily, NearMisses) {
    using zarvo::families::encrypted_table;
    no_answer(encrypted_table, sj("あいうえ"));                // second unit is 82A2
    no_answer(encrypted_table, sj("あたたい"));                // the last unit decides too
    no_answer(encrypted_table, sj("あたた"));                  // row 9 needs 8 bytes
    no_answer(encrypted_table, bytes("0082A082BD82BD82BD"));  // units from byte 0 only
    no_answer(encrypted_table, "ENCRYPTED BY");                // without the trailing blank
    no_answer(encrypted_table, "Mechr-");
}

TEST(TextEncodingFamily, EveryRow) {
    check_rows(zarvo::families::text_encoding_table, {
        {"1", "<<<", "ish"},
        {"2", "begin 644", "uue,uu,xxe,xx"},
        {"3", "UUEncode", "uue,uu"},
        {"4", "XXEncode", "xxe,xx"},
        {"5 Message-ID", "Message-ID", "b64"},
        {"5 begin-base64", "begin-base64", "b64"},
        {"6", "MIME", "mme,mim,mht"},
        {"7", "W@reZip ", "wzp"},
    });
    EXPECT_EQ(identify_bytes("MIME-Version: 1.0\r\n", 256, 8), expected("mme,mim,mht"));
    EXPECT_EQ(identify_bytes("begin 644 x.lzh\n", 256, 8, "x.xxe"), expected("xxe,uue,uu,xx"));
}

TEST(TextEncodingFamily, OnlyTheExactOpeningWordsCount) {
    for (const char* text : {"begin 755 x.lzh\n", "message-id: <1@x>\n", "\xEF\xBB\xBFMIME-Version: 1.0\n",
                             "\r\nMessage-ID: <1@x>\n", "begin-base32\n", "W@reZip\n"}) {
        SCOPED_TRACE(text);
        no_answer(zarvo::families::text_encoding_table, text);
    }
}

TEST(SmallFamilies, BadInputGivesNoAnswer) {
    const Detector detectors[] = {zarvo::families::split_table, zarvo::families::encrypted_table, zarvo::families::text_encoding_table};
    std::mt19937 gen(7);
    std::vector<std::string> inputs = {""};
    for (int b = 0; b <= 0xFF; ++b) inputs.emplace_back(1, static_cast<char>(b));
    for (int round = 0; round < 50; ++round) {
        std::string content(1 + gen() % 700, '\0');
        for (char& ch : content) ch = static_cast<char>(gen());
        content[0] = '\x99';  // a first byte that starts no row
        inputs.push_back(content);
    }
    for (Detector detect : detectors)
        for (const std::string& content : inputs) no_answer(detect, content);
}
