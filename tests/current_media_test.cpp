// The current-formats layer's media and audio groups: ISO base media by
// brand and tracks, JPEG 2000 / XL, Matroska, RIFF kinds, Ogg streams, and
// the sound streams of the audio group, from small files built here; the
// hostile containers stay inside their bytes and the read budget.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"
#include "current_cases.hpp"
#include "support.hpp"

namespace {

using oxtarn::test::bytes;
using zarvo::Context;
namespace current = zarvo::current;

std::string be(std::uint64_t v, int n) {
    std::string s;
    for (int i = n - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}
std::string le(std::uint64_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string box(std::string_view type, std::string_view body) {
    return be(8 + body.size(), 4) + std::string(type) + std::string(body);
}
std::string ftyp(std::string_view major, std::string_view compatible) {
    return box("ftyp", std::string(major) + be(0, 4) + std::string(compatible));
}
std::string track(std::string_view handler) {
    std::string hdlr = box("hdlr", be(0, 4) + be(0, 4) + std::string(handler) + std::string(12, '\0') + "h" + '\0');
    return box("trak", box("tkhd", std::string(84, '\0')) + box("mdia", box("mdhd", std::string(24, '\0')) + hdlr));
}
std::string movie(std::initializer_list<std::string_view> handlers) {
    std::string body = box("mvhd", std::string(100, '\0'));
    for (std::string_view h : handlers) body += track(h);
    return box("moov", body);
}

// An EBML element with a one-byte size (data under 127 bytes) or an 8-byte size.
std::string element(std::uint32_t id, std::string_view data) {
    std::string out = id > 0xFFFFFF ? be(id, 4) : id > 0xFFFF ? be(id, 3) : id > 0xFF ? be(id, 2) : be(id, 1);
    if (data.size() < 127) out += static_cast<char>(0x80 | data.size());
    else out += "\x01" + be(data.size(), 7);
    return out + std::string(data);
}
std::string ebml_header(std::string_view doctype) {
    return element(0x1A45DFA3, element(0x4286, "\x01") + element(0x4282, doctype) + element(0x4287, "\x04"));
}
std::string tracks(std::initializer_list<int> types) {
    std::string entries;
    for (int t : types) entries += element(0xAE, element(0xD7, "\x01") + element(0x83, std::string(1, char(t))));
    return element(0x1654AE6B, entries);
}

std::string ogg_page(std::string_view packet) {
    return "OggS" + std::string("\x00\x02", 2) + std::string(8, '\0') + le(1, 4) + le(0, 4) + le(0, 4) + "\x01" +
           std::string(1, static_cast<char>(packet.size())) + std::string(packet);
}

// 64 kbit/s MPEG-2 layer III frames at 22050 Hz: 72000 * 64 / 22050 = 208 bytes.
std::string mp3_frames(int n) {
    std::string frame = bytes("FFF38064") + std::string(204, '\x55');
    std::string out;
    for (int i = 0; i < n; ++i) out += frame;
    return out;
}
// ADTS frames, AAC LC at 44100 Hz in stereo, 100 bytes each.
std::string adts_frames(int n) {
    std::string frame = bytes("FFF15080") + std::string(1, char(100 >> 3)) + std::string(1, char(((100 & 7) << 5) | 0x1F)) +
                        "\xFC" + std::string(93, '\x11');
    std::string out;
    for (int i = 0; i < n; ++i) out += frame;
    return out;
}
std::string streaminfo(unsigned rate, unsigned channels) {
    std::uint64_t bits = (std::uint64_t(rate) << 44) | (std::uint64_t(channels - 1) << 41) | (std::uint64_t(15) << 36);
    return be(4096, 2) + be(4096, 2) + be(0, 3) + be(0, 3) + be(bits, 8) + std::string(16, '\0');
}

using namespace oxtarn::test::layer;

TEST(CurrentMedia, IsoBaseMediaByBrandAndTracks) {
    std::string mdat = box("mdat", std::string(5000, '\x42'));
    check({
        {"mp4, movie box last", ftyp("isom", "isomiso2avc1mp41") + box("free", "") + mdat + movie({"vide", "soun"}),
         "mp4,m4v", "brand isom"},
        {"mp4 sound alone", ftyp("isom", "isomiso2mp41") + mdat + movie({"soun"}), "m4a,m4b,mp4", "brand isom"},
        {"mp42 sound alone, movie first", ftyp("mp42", "mp42isom") + movie({"soun"}) + mdat, "m4a,m4b,mp4",
         "brand mp42"},
        {"mp4 without a movie box", ftyp("mp42", "isom") + mdat, "mp4,m4v", "brand mp42"},
        {"m4v", ftyp("M4V ", "M4V M4A mp42isom"), "m4v,mp4", "brand M4V"},
        {"m4a", ftyp("M4A ", "M4A mp42isom"), "m4a,m4b,mp4", "brand M4A"},
        {"m4b", ftyp("M4B ", "M4B mp42"), "m4b,m4a", "brand M4B"},
        {"mov", ftyp("qt  ", "qt  "), "mov,qt", "brand qt"},
        {"3gp", ftyp("3gp4", "isom3gp4"), "3gp,3gpp", "brand 3gp4"},
        {"3g2", ftyp("3g2a", "isom3g2a"), "3g2,3gp2", "brand 3g2a"},
        {"heic", ftyp("heic", "mif1heic"), "heic,heif", "brand heic"},
        {"heif told heic by a compatible brand", ftyp("mif1", "mif1heic"), "heic,heif", "brand mif1"},
        {"heif", ftyp("mif1", "mif1"), "heif,heic", "brand mif1"},
        {"avif", ftyp("avif", "avifmif1miaf"), "avif", "brand avif"},
        {"avif by compatible brand", ftyp("mif1", "mif1miafMA1Bavif"), "avif", "brand mif1"},
        {"cr3", ftyp("crx ", "crx isom"), "cr3", "brand crx"},
        {"unknown major brand, MP4 compatible", ftyp("abcd", "isommp41") + movie({"vide"}), "mp4,m4v", "brand abcd"},
        {"jp2", bytes("0000000C6A5020200D0A870A") + ftyp("jp2 ", "jp2 "), "jp2", "brand jp2"},
        {"jpx", bytes("0000000C6A5020200D0A870A") + ftyp("jpx ", "jpx jp2 "), "jpx,jpf", "brand jpx"},
        {"jpm", bytes("0000000C6A5020200D0A870A") + ftyp("jpm ", "jpm "), "jpm", "brand jpm"},
        {"mj2", bytes("0000000C6A5020200D0A870A") + ftyp("mjp2", "mjp2"), "mj2,mjp2", "brand mjp2"},
        {"j2k codestream", bytes("FF4FFF51002F0000") + std::string(40, '\0'), "j2k,j2c,jpc", "JPEG 2000 codestream"},
        {"jxl codestream", bytes("FF0A0F1600000000") + std::string(40, '\0'), "jxl", "JPEG XL codestream, 96 x 64"},
        {"jxl codestream, sized by ratio", bytes("FF0AFF0100000000") + std::string(40, '\0'), "jxl",
         "JPEG XL codestream, 512 x 256"},
        {"jxl container", bytes("0000000C4A584C200D0A870A") + ftyp("jxl ", "jxl ") + box("jxll", "\x05") +
                              box("jxlc", bytes("FF0A0F16") + std::string(20, '\0')),
         "jxl", "JPEG XL container, 96 x 64"},
        {"jxl container in parts", bytes("0000000C4A584C200D0A870A") + ftyp("jxl ", "jxl ") +
                                       box("jxlp", be(0, 4) + bytes("FF0A0F16") + std::string(20, '\0')),
         "jxl", "JPEG XL container, 96 x 64"},
        {"old QuickTime, data first", box("mdat", std::string(300, '\0')) + movie({"vide"}), "mov,qt", "QuickTime"},
        {"old QuickTime, movie first", box("wide", "") + movie({"vide"}) + box("mdat", "x"), "mov,qt", "QuickTime"},
    });
}

TEST(CurrentMedia, MatroskaOggAndRiffKinds) {
    std::string info = element(0x1549A966, element(0x2AD7B1, be(1000000, 3)));
    auto mkv = [&](std::string_view doctype, std::string body) {
        return ebml_header(doctype) + element(0x18538067, info + body + element(0x1F43B675, std::string(200, '\0')));
    };
    std::string opus = "OpusHead" + std::string("\x01\x02", 2) + le(312, 2) + le(48000, 4) + le(0, 2) + "\x00";
    std::string vorbis = "\x01vorbis" + le(0, 4) + "\x01" + le(44100, 4) + std::string(13, '\0');
    std::string flac = std::string("\x7F" "FLAC\x01\x00", 7) + be(1, 2) + "fLaC" + bytes("00000022") + streaminfo(96000, 6);
    check({
        {"webm", mkv("webm", tracks({1, 2})), "webm", "WebM"},
        {"mkv with video", mkv("matroska", tracks({2, 1, 17})), "mkv,mka,mks", "Matroska"},
        {"mka", mkv("matroska", tracks({2, 2})), "mka,mkv", "Matroska"},
        {"mks", mkv("matroska", tracks({17})), "mks,mkv", "Matroska"},
        {"matroska without tracks", mkv("matroska", ""), "mkv,mka,mks", "Matroska"},
        {"ogg vorbis", ogg_page(vorbis), "ogg,oga", "Vorbis, 44100 Hz, 1 channel"},
        {"opus", ogg_page(opus), "opus,ogg", "Opus, 48000 Hz, 2 channels"},
        {"theora", ogg_page("\x80theora\x03\x02\x01" + std::string(30, '\0')), "ogv,ogg", "Theora"},
        {"speex", ogg_page("Speex   1.2" + std::string(25, '\0') + le(16000, 4) + le(1, 4) + le(4, 4) + le(1, 4) +
                           std::string(28, '\0')),
         "spx,ogg", "Speex, 16000 Hz, 1 channel"},
        {"flac in ogg", ogg_page(flac), "oga,ogg", "FLAC, 96000 Hz, 6 channels"},
        {"rf64", "RF64" + le(0xFFFFFFFF, 4) + "WAVEds64" + std::string(40, '\0'), "wav,rf64", "RF64"},
        {"rifx", "RIFX" + be(100, 4) + "WAVEfmt " + std::string(40, '\0'), "wav", "RIFX (big-endian)"},
        {"wave64", bytes("726966662E91CF11A5D628DB04C10000") + le(200, 8) + bytes("77617665F3ACD3118CD100C04F8EDB8A") +
                       std::string(40, '\0'),
         "w64", "Wave64"},
    });
}

TEST(CurrentAudio, StreamsAndFiles) {
    std::string id3 = "ID3\x03" + std::string("\x00\x00\x00\x00\x02\x01", 6) + std::string(257, '\0');  // 257-byte tag
    check({
        {"flac", "fLaC" + bytes("80000022") + streaminfo(44100, 2), "flac", "44100 Hz, 2 channels"},
        {"mp3 frames", mp3_frames(3), "mp3", "MPEG-2 layer III, 22050 Hz"},
        {"mp3 after ID3", id3 + mp3_frames(3), "mp3", "MPEG-2 layer III, 22050 Hz"},
        {"flac after ID3", id3 + "fLaC" + bytes("80000022") + streaminfo(48000, 1), "flac", "48000 Hz, 1 channel"},
        {"adts", adts_frames(3), "aac,adts", "44100 Hz, 2 channels"},
        {"adts after ID3", id3 + adts_frames(2), "aac,adts", "44100 Hz, 2 channels"},
        {"amr", "#!AMR\n" + std::string(20, '\x3C'), "amr", "AMR narrow band"},
        {"amr-wb", "#!AMR-WB\n" + std::string(20, '\x04'), "awb,amr", "AMR wide band"},
        {"dsf", "DSD " + le(28, 8) + le(5000, 8) + le(0, 8) + "fmt " + le(52, 8) + std::string(40, '\0'), "dsf", ""},
        {"dff", "FRM8" + be(5000, 8) + "DSD " + "FVER" + be(4, 8) + std::string(20, '\0'), "dff", ""},
        {"wavpack", "wvpk" + le(1000, 4) + le(0x410, 2) + std::string(30, '\0'), "wv", ""},
        {"monkey's audio", "MAC " + le(3990, 2) + std::string(60, '\0'), "ape", ""},
        {"rmi", "RIFF" + le(100, 4) + "RMIDdata" + le(20, 4) + "MThd" + std::string(20, '\0'), "rmi,mid", ""},
    });
}

TEST(CurrentMedia, NearMissesAreLeftToTheClassicTables) {
    check({
        {"ftyp of a brand nobody knows", ftyp("zzzz", "yyyy"), "", ""},
        {"ftyp box cut short", bytes("00000010667479706973"), "", ""},
        {"EBML of another document type", ebml_header("notmatroska"), "", ""},
        {"Ogg page of an unknown stream", ogg_page("\x05unknown stream"), "", ""},
        {"Ogg page that is not the first", "OggS" + std::string("\x00\x00", 2) + std::string(20, '\0') + "\x01\x08" +
                                               "OpusHead",
         "", ""},
        {"boxes that are no QuickTime", box("free", "") + box("abcd", "xyz"), "", ""},
        {"QuickTime boxes without a movie", box("mdat", "abc") + box("free", ""), "", ""},
    }, &current::media_table());
    check({
        {"one lone MPEG frame", mp3_frames(1), "", ""},
        {"MPEG frame followed by noise", mp3_frames(1) + std::string(300, '\x20'), "", ""},
        {"JPEG start is no frame sync", bytes("FFD8FFE000104A464946") + std::string(300, '\0'), "", ""},
        {"ID3 tag over nothing known", "ID3\x03" + std::string("\x00\x00\x00\x00\x00\x10", 6) + std::string(300, 'a'),
         "", ""},
    }, &current::audio_table());
}

TEST(CurrentMedia, HostileContainersStayBounded) {
    std::string big_mdat = be(1, 4) + "mdat" + be(~0ull, 8);  // a 64-bit size of 2^64 - 1
    std::string zero = be(0, 4) + "moov" + box("mvhd", std::string(100, '\0')) + track("soun");  // size 0: to the end
    std::string self_nested = box("moov", box("trak", be(8, 4) + "mdia" + be(0xFFFF, 4) + "hdlr"));
    std::string many_free;
    for (int i = 0; i < 3000; ++i) many_free += box("free", "");
    std::string wrong_trak = box("moov", be(0x7FFFFFFF, 4) + "trak" + std::string(40, '\0'));
    std::string ebml_past_end = ebml_header("matroska") + bytes("18538067") + "\x01" + be(~0ull >> 8, 7) +
                                bytes("1654AE6B") + "\x08" + "\xFF\xFF\xFF\xFF";
    std::string ebml_zero_vint = bytes("1A45DFA3") + std::string(30, '\0');
    std::string id3_lie = "ID3\x04" + std::string("\x00\x00\x7F\x7F\x7F\x7F", 6) + std::string(100, '\0');
    struct Hostile {
        const char* what;
        std::string file;
        std::string candidates;
    } cases[] = {
        {"64-bit size past the end", ftyp("isom", "isom") + big_mdat + movie({"soun"}), "mp4,m4v"},
        {"size 0 reaches the end", ftyp("isom", "isom") + zero, "m4a,m4b,mp4"},
        {"box nested in itself, sizes lying", ftyp("isom", "isom") + self_nested, "mp4,m4v"},
        {"thousands of empty boxes", ftyp("isom", "isom") + many_free + movie({"soun"}), "mp4,m4v"},
        {"child larger than its parent", ftyp("mp42", "isom") + wrong_trak, "mp4,m4v"},
        {"ftyp size 1 without its long size", bytes("0000000166747970"), ""},
        {"ftyp size smaller than its header", bytes("0000000466747970") + std::string(20, 'a'), ""},
        {"EBML lengths past the end", ebml_past_end, "mkv,mka,mks"},
        {"EBML header of zero bytes", ebml_zero_vint, ""},
        {"ID3 size far past the end", id3_lie, ""},
    };
    for (const Hostile& c : cases) {
        Answer a = identify(c.file);
        EXPECT_EQ(a.candidates, c.candidates) << c.what;
        EXPECT_LE(a.spent, current::kBudget) << c.what;
    }
}

TEST(CurrentMedia, LargeFilesAreReadWithinTheBudget) {
    // A movie box at the end of a file far larger than the budget, after
    // many data boxes: only their headers are read.
    std::string file = ftyp("isom", "isomiso2");
    for (int i = 0; i < 40; ++i) file += box("mdat", std::string(20000, '\0'));
    file += movie({"soun"});
    Answer a = identify(file);
    EXPECT_EQ(a.candidates, "m4a,m4b,mp4");
    EXPECT_LE(a.spent, current::kHeadBytes + 2048);
}

}  // namespace
