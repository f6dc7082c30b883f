// The archive family through the exported interface: one file per row (and
// per branch of the rows with branches), the whole result record checked.
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

constexpr std::uint32_t kQuiet = 8;
constexpr std::uint32_t kSpecial = 4 | 8;

struct Case {
    const char* row;
    std::string content;
    std::string ext;
    int variant = 1;
    std::string detail = "";
    std::uint32_t options = kQuiet;
    std::int32_t sample = 256;
    // The file ends with the last byte the row reads, so without that byte
    // the row must not answer.
    bool minimal = true;
};

// "rar,r00,...,r100": the list the RAR row answers.
std::string rar_list() {
    std::string list = "rar";
    for (int n = 0; n <= 100; ++n) list += (n < 10 ? ",r0" : ",r") + std::to_string(n);
    return list;
}

const std::string kGzipList = "tgz,gz,dgz,sgm,000,001,002,003,004,005,006,007,008,009";

// The archive detector alone, for files that later families may answer.
std::string archive_of(const std::string& content, zarvo::Context& ctx) {
    return zarvo::rules::run(zarvo::families::archive_table(), zarvo::HexImage::of_bytes(content), ctx);
}

}  // namespace

TEST(ArchiveFamily, EveryRowAndBranch) {
    const std::string lha = "00002D6C68352D";  // -lh5-
    const std::string lha_name = "8996836F835E815B8389815B8381839382C182C494FC96A182B582A282E682CB2E747874";
    const std::vector<Case> cases = {
        {"1", bytes("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"), bytes("8DEB")},  // 鷺
        {"2", bytes(lha), "lzh,ar,arx", 1, "Level5"},
        {"2 zero method byte", bytes("00002D6C68002D"), "lzh,ar,arx", 1, "Level"},
        {"2 bit 4, no name", bytes(lha), "lzh,ar,arx", 1, "Level5", kSpecial},
        {"2 name, bit clear", file_with(0, {{0, lha}, {27, lha_name}}), "lzh,ar,arx", 1, "Level5", kQuiet, 256, false},
        {"2 special", file_with(0, {{0, lha}, {27, lha_name}}), "lzh", 15, "", kSpecial},
        {"3", bytes("00002D6C7A342D"), "lzs", 1, "Level4"},
        {"4", bytes("504B0304"), "zip,jar,wmz,wsz,nar"},
        {"4 special", file_with(0, {{0, "504B0304"}, {30, "82E082A082A22E626D70"}}), "zip", 15, "", kSpecial},
        {"5", bytes("52617221"), rar_list()},
        {"5 special", file_with(0, {{0, "52617221"}, {52, "837D8343839383588343815B83702E68746D6C"}}), "rar", 15, "",
         kSpecial},
        {"6", file_with(0, {{7, "2A2A4143452A2A"}}), "ace"},
        {"7", bytes("4D534346"), "cab"},
        {"7 special 1", file_with(0, {{0, "4D534346"}, {71, "009800"}}), "cab", 10, "", kSpecial, 256, false},
        {"7 special 2", file_with(0, {{0, "4D534346"}, {71, "009900"}}), "cab", 11, "", kSpecial, 256, false},
        {"7 special, bit clear", file_with(0, {{0, "4D534346"}, {71, "009800"}}), "cab", 1, "", kQuiet, 256, false},
        {"8", bytes("474341"), "gca"},
        {"8 special", file_with(0, {{0, "474341"}, {49, "737374616A696E2E736372"}}), "gca", 15, "", kSpecial, 256,
         false},
        {"9", bytes("1F8B0800000000000007"), "gz"},
        {"10", file_with(0, {{256, "007573746172003030"}}), "tar", 1, "", kQuiet, 265},
        {"11", bytes("425A6839"), "bz2", 1, "Level:9", kQuiet, 256, false},
        {"11 no block digit", bytes("425A68"), "bz2", 1, "Level:"},
        {"12", file_with(0, {{34, "42696E48657820342E30"}}), "hqx"},
        {"13 SIT! at 0", bytes("53495421"), "sit,sea"},
        {"13 SIT! at 5", file_with(0, {{5, "53495421"}}), "sit,sea"},
        {"13 StuffIt", bytes("53747566664974"), "sit,sea"},
        {"14", bytes("0101000000"), "cpt"},
        {"15", bytes("1F8B08"), kGzipList, 52},
        {"15 not quite row 9", bytes("1F8B0800000000000008"), kGzipList, 52, "", kQuiet, 256, false},
        {"16", bytes("797A"), "yz1"},
        {"17", bytes("60EA00001E"), "arj"},
        {"18", bytes("5A4F4F20322E31302041726368697665"), "zoo", 1, "2.10"},
        {"18 version ends at a zero byte", bytes("5A4F4F20322E00302041726368697665"), "zoo", 1, "2."},
        {"19", bytes("41414141425A32"), "bza"},
        {"20", bytes("41414141475A4950"), "gza"},
        {"21", bytes("41410000414D"), "amz,amg"},
        {"22", bytes("41544F"), "aiz"},
        {"23", bytes("554841"), "uha"},
        {"24", bytes("1F9F881813"), "f,frz"},
        {"25", bytes("7862746F6120426567696E"), "boo"},
        {"26", bytes("000C"), "bin", 4},
        {"27", bytes("5041434B"), "pak"},
        {"28", bytes("373737"), "777"},
        {"29", bytes("424958"), "bix"},
        {"30", bytes("554641"), "ufa"},
        {"31", bytes("42480507"), "bh"},
        {"32", bytes("0A800800"), "acb"},
        {"33", bytes("4C470100"), "lg"},
        {"34", bytes("4453005C"), "q"},
        {"35", bytes("91334846"), "hap"},
        {"36", bytes("2112000000000000000000004729"), "ain"},
        {"37", bytes("03414232"), "abp"},
        {"38", bytes("414B540A09"), "akt"},
        {"39", file_with(0, {{8, "0100990000015943"}}), "yc"},
        {"40", bytes("5831"), "x"},
        {"41", bytes("4553503E16"), "esp"},
        {"42", bytes("5172636B"), "qar"},
        {"43", bytes("554C45420A000000"), "rax"},
        {"44", bytes("4E534B"), "nsk"},
        {"45", bytes("504B5301"), "pks"},
        {"46", bytes("4B414631"), "kaf"},
        {"47", bytes("4E4F41"), "noa"},
        {"48", bytes("48414100"), "ha"},
        {"49", bytes("504B0306"), "sof"},
        {"50", bytes("5A5A30"), "zz"},
        {"51", bytes("46524141412900"), "ice"},
        {"52", bytes("AD362200"), "oop"},
        {"53", bytes("4EF546E96C"), "shk"},
        {"54", bytes("67570401"), "arq"},
        {"55", bytes("30313233343536373839303132333435425A68"), "exp1"},
        {"56 with 001", file_with(0, {{0, "20676F5F372B"}, {15, "303031"}}), "7pl"},
        {"56 digits 100", file_with(0, {{0, "20676F5F372B"}, {8, "313030"}}), "p64", 5, "", kQuiet, 256, false},
        {"56 digits 007", file_with(0, {{0, "20676F5F372B"}, {8, "303037"}}), "p07", 5, "", kQuiet, 256, false},
        {"56 digits 1A3", file_with(0, {{0, "20676F5F372B"}, {8, "314133"}}), "p67", 5, "", kQuiet, 256, false},
        {"56 no digits", bytes("20676F5F372B"), "p00", 5},
        {"57", bytes("4F5ADD12660C"), "zet"},
        {"58", bytes("FF4253470000FF425341"), "bsn"},
        {"59", bytes("4D446D640A01"), "md"},
        {"60", bytes("0C040D4368664C5A"), "lza"},
        {"61", bytes("000000000000000000000020"), "eri"},
        {"62", bytes("424F41003A00"), "boa"},
        {"63", bytes("213C617263683E0A64656269616E"), "deb"},
        {"64", bytes("44535462"), "dst"},
        {"65 HP", bytes("1A485026"), "hyp"},
        {"65 ST", bytes("1A535426"), "hyp"},
        {"66", bytes("4C4D1A0800"), "lim"},
        {"67", bytes("894C5A4F000D0A"), "lzo"},
        {"68", bytes("EDABEEDB"), "rpm"},
        {"69", bytes("4141204C483520"), "sar"},
        {"70", bytes("484C53515A"), "sqz"},
        {"71 from 000000", bytes("000000414243"), "jam", 2, "", kQuiet, 256, false},
        {"71 from 010000", bytes("010000414243"), "jam", 2, "", kQuiet, 256, false},
        {"72", bytes("594253"), "ybs"},
        {"73", bytes("A84D50A8"), "kbo"},
        {"74", bytes("B747CE934011E5BD"), "paq"},
        {"75", bytes("1A51461A"), "qfc"},
        {"76", bytes("2C41523720"), "ar7"},
        {"77", bytes("B6412D6168"), "mar"},
        {"78", bytes("E0FF060000000200"), "bpk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("row ") + c.row);
        EXPECT_EQ(identify_bytes(c.content, c.sample, c.options), expected(c.ext, c.variant, c.detail));
        if (c.minimal) {
            zarvo::Context ctx;
            ctx.options = c.options;
            EXPECT_NE(archive_of(c.content.substr(0, c.content.size() - 1), ctx), c.ext);
        }
    }
}

TEST(ArchiveFamily, TarNeedsTheHeadToReachByte264) {
    const std::string tar = file_with(512, {{256, "007573746172003030"}});
    EXPECT_EQ(identify_bytes(tar, 265), expected("tar"));
    zarvo::Context ctx;
    EXPECT_EQ(archive_of(tar.substr(0, 264), ctx), "");  // the default-sized sample is one byte short

    // With the MacBinary cut the head starts at byte 128 of the file.
    const std::string mac = std::string(128, 'M') + tar;
    EXPECT_EQ(identify_bytes(mac, 393, 1 | kQuiet), expected("tar"));
    EXPECT_NE(identify_bytes(mac, 392, 1 | kQuiet).extension, "tar");
}

TEST(ArchiveFamily, ShortSampleCutsTheSignature) {
    const std::string zip = bytes("504B030414000000");
    EXPECT_EQ(identify_bytes(zip, 4), expected("zip,jar,wmz,wsz,nar"));
    EXPECT_NE(identify_bytes(zip, 3).extension, "zip,jar,wmz,wsz,nar");
    // The special name of row 4 lies beyond a short sample: the plain answer stands.
    const std::string named = file_with(0, {{0, "504B0304"}, {30, "82E082A082A22E626D70"}});
    EXPECT_EQ(identify_bytes(named, 39, kSpecial), expected("zip,jar,wmz,wsz,nar"));
}

TEST(ArchiveFamily, Row32TestsTheHighDigitOfByteZeroOnly) {
    for (int b : {0x00, 0x01, 0x0A, 0x0F, 0x10, 0x1F, 0x80, 0xF0}) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        SCOPED_TRACE(hex);
        zarvo::Context ctx;
        EXPECT_EQ(archive_of(bytes(std::string(hex) + "800800"), ctx) == "acb", b <= 0x0F);
    }
}

TEST(ArchiveFamily, Row71BytesThreeToFiveMustDifferFromZero) {
    // A slice beyond the end of a short file is unequal to 00, so the row holds.
    for (const char* hex : {"000000", "010000", "00000041", "0000004142"}) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(identify_bytes(bytes(hex)), expected("jam", 2));
    }
    for (const char* hex : {"0000", "00000000", "0000004100", "000000414200", "020000414243"}) {
        SCOPED_TRACE(hex);
        zarvo::Context ctx;
        EXPECT_EQ(archive_of(bytes(hex), ctx), "");
        EXPECT_EQ(ctx.variant, 1);
    }
}

TEST(ArchiveFamily, PresentExtensionComesFirst) {
    std::string rar = rar_list();
    rar.erase(rar.find(",r07"), 4);
    EXPECT_EQ(identify_bytes(bytes("52617221"), 256, kQuiet, "part.r07"), expected("r07," + rar));
    EXPECT_EQ(identify_bytes(bytes("52617221"), 256, kQuiet, "part.r100"),
              expected("r100," + rar_list().substr(0, rar_list().size() - 5)));
    EXPECT_EQ(identify_bytes(bytes("1F8B08"), 256, kQuiet, "backup.005"),
              expected("005,tgz,gz,dgz,sgm,000,001,002,003,004,006,007,008,009", 52));
    EXPECT_EQ(identify_bytes(bytes("504B0304"), 256, kQuiet, "game.JAR"), expected("jar,zip,wmz,wsz,nar"));
}

TEST(ArchiveFamily, BadInputNeverMatchesAndNeverCrashes) {
    zarvo::Context ctx;
    EXPECT_EQ(archive_of("", ctx), "");
    for (int b = 0; b <= 0xFF; ++b) EXPECT_EQ(archive_of(std::string(1, char(b)), ctx), "") << b;
    EXPECT_EQ(ctx.variant, 1);
    EXPECT_EQ(ctx.detail, "");

    // Random bytes after a first byte that starts no row.
    std::mt19937 gen(20240611);
    for (int round = 0; round < 50; ++round) {
        std::string content(gen() % 700, '\0');
        for (char& ch : content) ch = static_cast<char>(gen());
        if (!content.empty()) content[0] = '\x99';
        EXPECT_EQ(archive_of(content, ctx), "") << round;
    }
    EXPECT_EQ(ctx.variant, 1);

    std::string noise(5000, '\0');
    for (char& ch : noise) ch = static_cast<char>(gen());
    for (std::uint32_t options = 0; options < 16; ++options) {
        for (const std::string& content : {std::string(), std::string(1, '\x1F'), noise}) {
            Record r = identify_bytes(content, 40000, options | kQuiet);
            EXPECT_FALSE(r.extension.empty());  // "?" or an answer, never an empty field
        }
    }
}
