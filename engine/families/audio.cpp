// Audio.
#include <cstdint>
#include <string>
#include <string_view>

#include "families.hpp"
#include "rules.hpp"
#include "sjis.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Value of the bytes of `hex` from byte k, `count` of them, in the given
// order; a byte the text does not reach counts as 0.
std::uint32_t number(std::string_view hex, long k, int count, bool little_endian) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        long at = little_endian ? k + count - 1 - i : k + i;
        std::string_view pair = text::mid(hex, 2 * at, 2);
        value = (value << 8) | (pair.size() == 2 ? text::hex_pair(pair[0], pair[1]) : 0u);
    }
    return value;
}

std::string decimal(std::int64_t n) { return std::to_string(n); }

// ---- WAVE information text (row 16e) ---------------------------------------

struct Codec {
    std::string_view tag;  // format tag as the hex text of its two bytes, file order
    std::string_view name;
};

constexpr Codec kCodecs[] = {
    {"0100", "PCM"},
    {"0200", "Microsoft ADPCM"},
    {"0600", "CCITT A-Law"},
    {"0700", "CCITT u-Law"},
    {"1100", "IMA ADPCM"},
    {"1900", "Mobile Voice"},
    {"2200", "DSP Group TrueSpeech(R)"},
    {"3100", "GSM 6.10"},
    {"5500", "MPEG Layer-3"},
    {"7000", "Lernout & Hauspie CLEP 4.8kbit/s"},
    {"7100", "Lernout & Hauspie SBC 8kbit/s"},
    {"7200", "Lernout & Hauspie SBC 12kbit/s"},
    {"7300", "Lernout & Hauspie SBC 16kbit/s"},
};

// The information text of a format chunk body (16 bytes as 32 hex
// characters; missing bytes count as 0).
std::string wave_information(std::string_view body_hex) {
    std::string body(body_hex.substr(0, 32));
    body.resize(32, '0');

    std::string codec = body.substr(0, 4);
    for (const Codec& c : kCodecs)
        if (c.tag == codec) codec = c.name;

    // Average byte rate × 8 and the sampling rate are signed 32-bit numbers.
    std::string rate = decimal(static_cast<std::int32_t>(number(body, 8, 4, true) * 8u));
    std::string rate_kb(text::left(rate, long(rate.size()) - 3));
    std::string samples = decimal(static_cast<std::int32_t>(number(body, 4, 4, true)));
    std::string khz = std::string(text::left(samples, long(samples.size()) - 3)) + "." +
                      std::string(text::right(samples, 3));
    std::uint32_t bits = number(body, 14, 2, true);
    std::string channels = body.substr(4, 4);

    std::string out;
    out += "オーディオ形式："_sj;
    out += codec;
    out += kCrLf;
    out += "平均データ率："_sj;
    out += rate_kb;
    out += " Kb/秒"_sj;
    out += kCrLf;
    out += "サンプル率："_sj;
    out += khz;
    out += " kHz";
    out += kCrLf;
    out += "オーディオのサンプルサイズ："_sj;
    if (bits > 0) {
        out += decimal(bits);
        out += " ビット"_sj;
        out += kCrLf;
    }
    out += "チャンネル："_sj;
    out += channels == "0100" ? "1 (モノラル)"_sj : channels == "0200" ? "2 (ステレオ)"_sj : "?";
    return out;
}

std::string wave_detail(const HexImage& image, Context&) { return wave_information(image.bytes(20, 16)); }

// ---- MIDI information text (row 32) ----------------------------------------

// The title: the text between a track-name event ("FF03" and its length
// byte) and the next "00FF", both found as text from character 10.
std::string midi_title(std::string_view head) {
    long s = text::find(head, "FF03", 10);
    if (s < 0) return {};
    long e = text::find(head, "00FF", s);
    if (e < 0 || e - s - 6 < 1) return {};
    return text::decode_hex(text::mid(head, s + 6, e - s - 6));
}

// The information text of the first 240 bytes (480 hex characters).
std::string midi_information(std::string_view head) {
    std::string out;
    out += "フォーマット："_sj;
    out += decimal(number(head, 8, 2, false));
    out += kCrLf;
    out += "トラック："_sj;
    out += decimal(number(head, 10, 2, false));
    out += kCrLf;
    out += "分解度:"_sj;
    out += decimal(number(head, 12, 2, false));
    out += kCrLf;
    out += "タイトル："_sj;
    out += midi_title(head);
    return out;
}

std::string midi_detail(const HexImage& image, Context&) { return midi_information(image.mid(0, 480)); }

// ---- the table -----------------------------------------------------------------

constexpr std::string_view kRiff = "52494646";

}  // namespace

const Table& audio_table() {
    static const Table rows = {
    // row    tests                                                   answer        side effects
    {"1",   {at_one_of(0, {"FFFB", "494433", "FFFA9044"})},           "mp3"},
    {"2",   {any({at(0, "B00010"), at(3, "6601CF1000")})},            "mp4"},
    {"3",   {at(0, kRiff), at(8, "524D50")},                          "rmp,mp3"},
    {"4",   {any({at(0, "0101640101016401"),
                  all({at(0, kRiff), at(8, "43445841")})})},          "xa"},
    {"5",   {at(0, "3026B2758E66CF11")},                              go_on, {}, {
        {"5a", {special(), at(16, "DB01000000000000050000000102A1DCAB8C47A9CF118EE400C00C20536568"
                                  "0000000000000000000000000000000000")}, "wma", {variant(variants::kGeroshabu)}},
        {"5b", {any({at(160, "D3ABBAA9CF"), at(64, "C830E930C330AF30")})}, "wma"},
        {"5c", {first_within("00574D56", 950, 1150)},                 "wmv"},
        {"5d", {at(624, "DCB7B7A9CF")},                               "asf"},
        {"5e", {},                                                    "wma,wmv,asf"}}},
    {"6",   {at(0, "FFFE3C003F0078006D006C")},                        "wme"},
    {"7",   {at(0, "2E736E64")},                                      "au,snd", {}, {
        {"7s", {special(), at(0, "2E736E640000001C001AF3D0000000030000AC440000000247572100FE8EFCD58103")},
                                                                      "au", {variant(variants::kGeroshabu)}}}},
    {"8",   {at(0, "464F524D"), at(8, "41494646434F4D4D")},           "aif,aiff", {}, {
        {"8s", {special(), at(0, "464F524D001AF3FE41494646434F4D4D0000001200020006BCF40010400EAC44"
                                 "00000000000053534E44001AF3D80000")}, "aif", {variant(variants::kGeroshabu)}}}},
    {"9",   {at(0, "464F524D"), at(8, "4149464346564552")},           "aifc"},
    {"10",  {at(1072, "00000000000000004D2E4B2E")},                   "mod", {variant(variants::kSharedFirst)}},
    {"11",  {at(41, "1302005343524D")},                               "s3m"},
    {"12",  {at(0, "457874656E646564204D6F64756C65")},                "xm"},
    {"13",  {at(0, "FFFF")},                                          go_on, {}, {
        {"13a", {at(4, "4734")},                                      "mp1", {detail("Mode:1")}},
        {"13b", {at(4, "584544555555454444433333")},                  "mp1", {detail("Mode:2")}}}},
    {"14",  {at(0, "FFFD")},                                          go_on, {}, {
        {"14a", {at_one_of(2, {"42C032", "A00066"})},                 "mp2"},
        {"14b", {at(4, "3623")},                                      "mp2", {detail("Mode:1")}},
        {"14c", {at(4, "46333345545555444333")},                      "mp2", {detail("Mode:2")}}}},
    {"15",  {at(0, "5457494E"), at(16, "434F4D4D")},                  "vqf"},
    {"16",  {at(0, kRiff), at(9, "41564566")},                        go_on, {}, {
        {"16a", {special(), at(44, "44463830")},                      "wav", {variant(variants::kEmbedTool13)}},
        {"16b", {special(), at(119, "A1707080")},                     "wav", {variant(variants::kBmpNinja)}},
        {"16c", {special(), at(0, "5249464634740C0057415645666D7420100000000100020044AC000010B10200"
                                  "0400100064617461B0E6EC0000000000")}, "wav", {variant(variants::kGeroshabu)}},
        {"16d", {special(), at(16, "1200000001000100112B0000112B000001000800000064617461")},
                                                                      "wav", {variant(variants::kEmbedTool14)}},
        {"16e", {at(12, "666D7420")},                                 "wav", {detail(wave_detail)}},
        {"16f", {},                                                   "wav"}}},
    {"17",  {at(0, "43414B4557414C4B")},                              "wrk"},
    {"18",  {at(0, "524946462400000043444441666D7420")},              "cda"},
    {"19",  {at(0, "52434D2D")},                                      "rcp"},
    {"20",  {at(0, "437265617469766520566F696365")},                  "voc"},
    {"21",  {at(0, "414143")},                                        "aac"},
    {"22",  {at(0, "2E524D58")},                                      "rmx"},
    {"23",  {at_one_of(0, {"20002000200020003C00700072006F00",
                           "FFFE3C00700072006F00660069006C00"})},     "prx"},
    {"24",  {at(0, "464C03040A000000")},                              "sfark"},
    {"25",  {at(0, "5346504B00010800")},                              "sfpack"},
    {"26",  {at(0, kRiff), at(8, "7366626B4C495354")},                "sf2"},
    {"27",  {at(0, "4F67675300")},                                    "ogg"},
    {"28",  {at(0, "4D414320D80ED007")},                              "ape", {variant(variants::kSharedFirst)}},
    {"29",  {at(0, "4653505000")},                                    "fpv"},
    {"30",  {at(0, "9EFAD93810")},                                    "hmg"},
    {"31",  {at(0, "FFF03400")},                                      "vm1"},
    {"32",  {at(0, "4D546864")},                                      "mid,kar", {detail(midi_detail)}},
    {"33",  {at(0, kRiff), at(8, "524D4944")},                        "rmi"},
    {"34",  {at(0, "434F4D45204F4E204D55534943205245434F4D504F534552")}, "g36"},
    {"35",  {at(0, "53696E67657220536F6E6720577269746572")},          go_on, {}, {
        {"35a", {at(24, "5B5353575D")},                               "ssw", {variant(variants::kSharedFirst)}},
        {"35b", {at(24, "5B5353325D")},                               "ss2", {variant(variants::kSharedFirst)}},
        {"35c", {at(24, "5B5353335D")},                               "ss3", {variant(variants::kSharedFirst)}}}},
    // 36: none of the above gives empty text.
    };
    return rows;
}

}  // namespace zarvo::families
