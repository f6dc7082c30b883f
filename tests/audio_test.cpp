// The audio family: its rows, the ASF and WAVE sub-rows, the go-on rows and
// the WAVE and MIDI information texts, through the exported interface.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "context.hpp"
#include "families/families.hpp"
#include "hex_image.hpp"
#include "support.hpp"

using namespace oxtarn::test;

namespace {

constexpr std::uint32_t kPlain = 8;     // quiet
constexpr std::uint32_t kSpecial = 12;  // quiet + special identification

using Case = RowCase;


// The audio detector on its own, for files it must leave to later families.
std::string audio_alone(std::string_view content) {
    zarvo::Context ctx;
    return zarvo::rules::run(zarvo::families::audio_table(), zarvo::HexImage::of_bytes(content), ctx);
}

// A WAVE file whose format chunk body (file bytes 20 to 35) is `body`.
std::string wave(std::string_view body) {
    return file_with(0, {{0, "52494646 24000000 57415645 666D7420 10000000"}, {20, body}, {36, "64617461 00000000"}});
}

constexpr std::string_view kAsf = "3026B2758E66CF11A6D900AA0062CE6C";

}  // namespace

TEST(AudioFamily, Rows) {
    check_rows({
        {"1", file_with(64, {{0, "FFFB9064"}}), expected("mp3")},
        {"1", file_with(64, {{0, "49443303"}}), expected("mp3")},
        {"1", file_with(64, {{0, "FFFA9044"}}), expected("mp3")},
        {"2", file_with(64, {{0, "B00010"}}), expected("mp4")},
        {"2", file_with(64, {{0, "414243"}, {3, "6601CF1000"}}), expected("mp4")},
        {"3", file_with(64, {{0, "52494646 20000000 524D5033"}}), expected("rmp,mp3")},
        {"4", file_with(64, {{0, "0101640101016401"}}), expected("xa")},
        {"4", file_with(64, {{0, "52494646 20000000 43445841"}}), expected("xa")},
        {"6", file_with(64, {{0, "FFFE3C003F0078006D006C00"}}), expected("wme")},
        {"7", file_with(64, {{0, "2E736E64 00000018"}}), expected("au,snd")},
        {"7s", file_with(64, {{0, "2E736E640000001C001AF3D0000000030000AC440000000247572100FE8EFCD58103"}}),
         expected("au", 15), 256, kSpecial},
        {"7s", file_with(64, {{0, "2E736E640000001C001AF3D0000000030000AC440000000247572100FE8EFCD58103"}}),
         expected("au,snd")},
        {"8", file_with(64, {{0, "464F524D 00001000 41494646434F4D4D"}}), expected("aif,aiff")},
        {"8s",
         file_with(64, {{0, "464F524D001AF3FE41494646434F4D4D0000001200020006BCF40010400EAC4400000000000053534E44001AF3D80000"}}),
         expected("aif", 15), 256, kSpecial},
        {"9", file_with(64, {{0, "464F524D 00001000 4149464346564552"}}), expected("aifc")},
        {"10", file_with(1100, {{0, "736F6E67"}, {1072, "00000000000000004D2E4B2E"}}), expected("mod", 2), 2000},
        {"11", file_with(96, {{0, "736F6E67"}, {41, "1302005343524D"}}), expected("s3m")},
        {"12", file_with(64, {{0, "457874656E646564204D6F64756C653A20"}}), expected("xm")},
        {"13a", file_with(64, {{0, "FFFF0000 4734"}}), expected("mp1", 1, "Mode:1")},
        {"13b", file_with(64, {{0, "FFFF0000 584544555555454444433333"}}), expected("mp1", 1, "Mode:2")},
        {"14a", file_with(64, {{0, "FFFD42C032"}}), expected("mp2")},
        {"14a", file_with(64, {{0, "FFFDA00066"}}), expected("mp2")},
        {"14b", file_with(64, {{0, "FFFD0000 3623"}}), expected("mp2", 1, "Mode:1")},
        {"14c", file_with(64, {{0, "FFFD0000 46333345545555444333"}}), expected("mp2", 1, "Mode:2")},
        {"15", file_with(64, {{0, "5457494E 39373031 32000000"}, {16, "434F4D4D"}}), expected("vqf")},
        {"17", file_with(64, {{0, "43414B4557414C4B 1A"}}), expected("wrk")},
        {"18", file_with(64, {{0, "524946462400000043444441666D7420"}}), expected("cda")},
        {"19", file_with(64, {{0, "52434D2D 50433938"}}), expected("rcp")},
        {"20", file_with(64, {{0, "437265617469766520566F6963652046696C651A"}}), expected("voc")},
        {"21", file_with(64, {{0, "414143"}}), expected("aac")},
        {"22", file_with(64, {{0, "2E524D58"}}), expected("rmx")},
        {"23", file_with(64, {{0, "20002000200020003C00700072006F00660069006C006500"}}), expected("prx")},
        {"23", file_with(64, {{0, "FFFE3C00700072006F00660069006C00"}}), expected("prx")},
        {"24", file_with(64, {{0, "464C03040A000000"}}), expected("sfark")},
        {"25", file_with(64, {{0, "5346504B00010800"}}), expected("sfpack")},
        {"26", file_with(64, {{0, "52494646 20000000 7366626B4C495354"}}), expected("sf2")},
        {"27", file_with(64, {{0, "4F67675300 02"}}), expected("ogg")},
        {"28", file_with(64, {{0, "4D414320D80ED007"}}), expected("ape", 2)},
        {"29", file_with(64, {{0, "4653505000"}}), expected("fpv")},
        {"30", file_with(64, {{0, "9EFAD93810"}}), expected("hmg")},
        {"31", file_with(64, {{0, "FFF03400"}}), expected("vm1")},
        {"33", file_with(64, {{0, "52494646 20000000 524D4944 64617461"}}), expected("rmi")},
        {"34", file_with(64, {{0, "434F4D45204F4E204D55534943205245434F4D504F534552"}}), expected("g36")},
        {"35a", file_with(64, {{0, "53696E67657220536F6E6720577269746572"}, {24, "5B5353575D"}}), expected("ssw", 2)},
        {"35b", file_with(64, {{0, "53696E67657220536F6E6720577269746572"}, {24, "5B5353325D"}}), expected("ss2", 2)},
        {"35c", file_with(64, {{0, "53696E67657220536F6E6720577269746572"}, {24, "5B5353335D"}}), expected("ss3", 2)},
    });
}

TEST(AudioFamily, AsfSubRows) {
    check_rows({
        {"5a", file_with(100, {{0, kAsf}, {16, "DB01000000000000050000000102A1DCAB8C47A9CF118EE400C00C2053656800"}}),
         expected("wma", 15), 256, kSpecial},
        {"5a", file_with(100, {{0, kAsf}, {16, "DB01000000000000050000000102A1DCAB8C47A9CF118EE400C00C2053656800"}}),
         expected("wma,wmv,asf")},
        {"5b", file_with(200, {{0, kAsf}, {160, "D3ABBAA9CF"}}), expected("wma")},
        {"5b", file_with(200, {{0, kAsf}, {64, "C830E930C330AF30"}}), expected("wma")},
        {"5d", file_with(700, {{0, kAsf}, {624, "DCB7B7A9CF"}}), expected("asf"), 1000},
        {"5e", file_with(100, {{0, kAsf}}), expected("wma,wmv,asf")},
        // Only the first 8 bytes of the identifier belong to the row.
        {"5e", file_with(100, {{0, "3026B2758E66CF11 0000000000000000"}}), expected("wma,wmv,asf")},
    });
}

TEST(AudioFamily, WmvMarkerMustFirstOccurBetweenCharacters950And1150) {
    struct Place {
        std::vector<std::pair<std::size_t, std::string_view>> marks;  // byte, hex
        const char* want;
    };
    // "00574D56" at an odd character c = 2b + 1 is written as the bytes
    // "10 05 74 D5 61" from byte b.
    const std::vector<Place> places = {
        {{{475, "00574D56"}}, "wmv"},          // character 950
        {{{475, "100574D561"}}, "wmv"},        // 951, an odd position
        {{{575, "00574D56"}}, "wmv"},          // 1150
        {{{575, "100574D561"}}, "wma,wmv,asf"},  // 1151
        {{{474, "00574D56"}}, "wma,wmv,asf"},  // 948
        {{{100, "00574D56"}, {500, "00574D56"}}, "wma,wmv,asf"},  // the first one counts
    };
    for (const Place& p : places) {
        std::string content = file_with(1000, {{0, kAsf}});
        for (const auto& [byte, hex] : p.marks) content.replace(byte, hex.size() / 2, bytes(hex));
        SCOPED_TRACE(p.marks.front().first);
        EXPECT_EQ(identify_bytes(content, 1000), expected(p.want));
    }
}

TEST(AudioFamily, WaveSubRows) {
    const std::string pcm = sj(
        "オーディオ形式：PCM\r\n平均データ率：1411 Kb/秒\r\nサンプル率：44.100 kHz\r\n"
        "オーディオのサンプルサイズ：16 ビット\r\nチャンネル：2 (ステレオ)");
    const std::string body = "0100 0200 44AC0000 10B10200 0400 1000";
    const std::string exact =
        bytes("5249464634740C0057415645666D7420100000000100020044AC000010B102000400100064617461B0E6EC0000000000");
    auto with = [&](std::size_t at, std::string_view hex) {
        std::string w = wave(body);
        w.resize(200, '\0');
        w.replace(at, hex.size() / 2, bytes(hex));
        return w;
    };
    check_rows({
        {"16a", with(44, "44463830"), expected("wav", 13), 256, kSpecial},
        {"16a", with(44, "44463830"), expected("wav", 1, pcm)},
        {"16b", with(119, "A1707080"), expected("wav", 10), 256, kSpecial},
        {"16c", exact, expected("wav", 15), 256, kSpecial},
        {"16c", exact, expected("wav", 1, pcm)},
        {"16d",
         file_with(0, {{0, "52494646 24000000 57415645 666D7420"},
                       {16, "1200000001000100112B0000112B000001000800000064617461"}}),
         expected("wav", 14), 256, kSpecial},
        {"16e", with(44, "00000000"), expected("wav", 1, pcm), 256, kSpecial},
        // Bytes 8 to 15 "SAVEfact": byte 9 holds AVEf, byte 12 is no fmt chunk.
        {"16f", file_with(64, {{0, "52494646 24000000 53415645 66616374"}}), expected("wav")},
    });
    // "WAVEdata" lacks AVEf at byte 9: no audio row takes it.
    EXPECT_EQ(audio_alone(file_with(64, {{0, "52494646 24000000 57415645 64617461"}})), "");
}

TEST(AudioFamily, GoOnRowsLeaveTheFileToLaterRows) {
    // FF FF and FF FD files that match no sub-row go on; the video family's
    // FLIC rows (which test bytes 8 and 11) then take them.
    EXPECT_EQ(identify_bytes(file_with(64, {{0, "FFFF0000 4735"}, {8, "4001C80008000000"}})), expected("fli"));
    EXPECT_EQ(identify_bytes(file_with(64, {{0, "FFFD0000 3624"}, {11, "001000030043"}})), expected("flx"));
    EXPECT_EQ(audio_alone(file_with(64, {{0, "53696E67657220536F6E6720577269746572"}, {24, "5B5353345D"}})), "");
}

TEST(WaveInformation, TextsByteForByte) {
    struct Text {
        const char* what;
        std::string body;  // file bytes 20 to 35
        std::string want;  // UTF-8, compared as Shift-JIS
    };
    const std::vector<Text> texts = {
        {"44100 Hz stereo PCM", "0100 0200 44AC0000 10B10200 0400 1000",
         "オーディオ形式：PCM\r\n平均データ率：1411 Kb/秒\r\nサンプル率：44.100 kHz\r\n"
         "オーディオのサンプルサイズ：16 ビット\r\nチャンネル：2 (ステレオ)"},
        {"unknown tag 0x0161 shown in file order", "6101 0100 803E0000 00FA0000 0100 0000",
         "オーディオ形式：6101\r\n平均データ率：512 Kb/秒\r\nサンプル率：16.000 kHz\r\n"
         "オーディオのサンプルサイズ：チャンネル：1 (モノラル)"},
        {"rate 500, byte rate below 125", "5500 0100 F4010000 7C000000 0100 0800",
         "オーディオ形式：MPEG Layer-3\r\n平均データ率： Kb/秒\r\nサンプル率：.500 kHz\r\n"
         "オーディオのサンプルサイズ：8 ビット\r\nチャンネル：1 (モノラル)"},
        {"rate 0, six channels", "7000 0600 00000000 7D000000 0100 1000",
         "オーディオ形式：Lernout & Hauspie CLEP 4.8kbit/s\r\n平均データ率：1 Kb/秒\r\nサンプル率：.0 kHz\r\n"
         "オーディオのサンプルサイズ：16 ビット\r\nチャンネル：?"},
        {"signed 32-bit rates, unsigned 16-bit bits", "0200 0200 00000080 00000010 0400 FFFF",
         "オーディオ形式：Microsoft ADPCM\r\n平均データ率：-2147483 Kb/秒\r\nサンプル率：-2147483.648 kHz\r\n"
         "オーディオのサンプルサイズ：65535 ビット\r\nチャンネル：2 (ステレオ)"},
    };
    for (const Text& t : texts) {
        SCOPED_TRACE(t.what);
        EXPECT_EQ(identify_bytes(wave(t.body)), expected("wav", 1, sj(t.want)));
    }
}

TEST(WaveInformation, MissingBytesCountAsZero) {
    // The file ends after the sampling rate (byte 27).
    std::string cut = wave("1100 0100 401F0000 00000000 0000 0000").substr(0, 28);
    EXPECT_EQ(identify_bytes(cut),
              expected("wav", 1,
                       sj("オーディオ形式：IMA ADPCM\r\n平均データ率： Kb/秒\r\nサンプル率：8.000 kHz\r\n"
                          "オーディオのサンプルサイズ：チャンネル：1 (モノラル)")));
}

TEST(MidiInformation, TextsByteForByte) {
    const std::string header = "4D546864 00000006 0001 0002 01E0";
    const std::string title = "4D54726B 00000013 00FF03 05 5069616E6F 00FF5804 04021808 00FF2F00";
    struct Text {
        const char* what;
        std::string content;
        std::int32_t sample;
        std::string want;  // UTF-8, compared as Shift-JIS
    };
    const std::vector<Text> texts = {
        {"title", bytes(header + title), 256,
         "フォーマット：1\r\nトラック：2\r\n分解度:480\r\nタイトル：Piano"},
        {"no track-name event", bytes(header + "4D54726B 0000000C 00FF5804 04021808 00FF2F00"), 256,
         "フォーマット：1\r\nトラック：2\r\n分解度:480\r\nタイトル："},
        {"Shift-JIS title, big numbers", bytes("4D546864 00000006 0000 FFFF 8000 4D54726B 00000010 00FF03 06 ") +
                                             sj("ピアノ") + bytes("00FF2F00"),
         256, "フォーマット：0\r\nトラック：65535\r\n分解度:32768\r\nタイトル：ピアノ"},
        {"title beyond the first 240 bytes",
         file_with(0, {{0, header}, {14, "4D54726B 00000100"}, {250, "00FF03055069616E6F00FF2F00"}}), 1000,
         "フォーマット：1\r\nトラック：2\r\n分解度:480\r\nタイトル："},
        {"header cut after byte 8", bytes("4D546864 00000006 01"), 256,
         "フォーマット：256\r\nトラック：0\r\n分解度:0\r\nタイトル："},
    };
    for (const Text& t : texts) {
        SCOPED_TRACE(t.what);
        EXPECT_EQ(identify_bytes(t.content, t.sample), expected("mid,kar", 1, sj(t.want)));
    }
}
