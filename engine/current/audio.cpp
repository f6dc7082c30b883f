// The current-formats layer: audio streams and files.
#include <array>
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

// ---- FLAC -----------------------------------------------------------------------

// STREAMINFO's data at `at`: the rate is the top 20 bits from byte 10, the
// channels less one the next 3.
std::string streaminfo_detail(std::string_view b, std::size_t at) {
    if (!bytes::has(b, at, 18)) return {};
    std::uint64_t bits = bytes::be64(b, at + 10);
    return rate_and_channels(bits >> 44, static_cast<unsigned>(((bits >> 41) & 7) + 1));
}

// "fLaC" at `at`, then a STREAMINFO block first.
bool flac_at(std::string_view b, std::size_t at) {
    return bytes::at(b, at, "fLaC") && (bytes::u8(b, at + 4) & 0x7F) == 0 && bytes::be(b, at + 5, 3) == 34;
}

// ---- MPEG audio and ADTS frames ----------------------------------------------------

struct Frame {
    unsigned version = 0;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    unsigned rate = 0;
    std::size_t length = 0;
};

// A layer III frame header at `at`, with its length.
bool mpeg_frame(std::string_view b, std::size_t at, Frame& f) {
    if (!bytes::has(b, at, 4)) return false;
    unsigned b1 = bytes::u8(b, at + 1), b2 = bytes::u8(b, at + 2), b3 = bytes::u8(b, at + 3);
    if (bytes::u8(b, at) != 0xFF || (b1 & 0xE0) != 0xE0) return false;
    unsigned version = (b1 >> 3) & 3, layer = (b1 >> 1) & 3;
    unsigned bitrate_index = b2 >> 4, rate_index = (b2 >> 2) & 3;
    if (version == 1 || layer != 1 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3 || (b3 & 3) == 2)
        return false;
    static constexpr std::array<unsigned, 15> kMpeg1 = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static constexpr std::array<unsigned, 15> kMpeg2 = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static constexpr std::array<unsigned, 3> kRates = {44100, 48000, 32000};
    unsigned rate = kRates[rate_index] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    unsigned kbps = version == 3 ? kMpeg1[bitrate_index] : kMpeg2[bitrate_index];
    f.version = version;
    f.rate = rate;
    f.length = (version == 3 ? 144000u : 72000u) * kbps / rate + ((b2 >> 1) & 1);
    return true;
}

// Two frames in a row from `at`, of the same version and rate.
bool mpeg_frames(std::string_view b, std::size_t at) {
    Frame first, second;
    return mpeg_frame(b, at, first) && mpeg_frame(b, at + first.length, second) && second.version == first.version &&
           second.rate == first.rate;
}

constexpr std::array<unsigned, 13> kAdtsRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                 22050, 16000, 12000, 11025, 8000,  7350};

// An ADTS header at `at` (sync, layer 0, a known rate), with its frame length.
std::size_t adts_frame(std::string_view b, std::size_t at) {
    if (!bytes::has(b, at, 7) || bytes::u8(b, at) != 0xFF || (bytes::u8(b, at + 1) & 0xF6) != 0xF0) return 0;
    if (((bytes::u8(b, at + 2) >> 2) & 0xF) >= kAdtsRates.size()) return 0;
    std::size_t length = ((bytes::u8(b, at + 3) & 3u) << 11) | (bytes::u8(b, at + 4) << 3) | (bytes::u8(b, at + 5) >> 5);
    return length >= 7 ? length : 0;
}

std::string adts_detail(std::string_view b, std::size_t at) {
    unsigned b2 = bytes::u8(b, at + 2), b3 = bytes::u8(b, at + 3);
    return rate_and_channels(kAdtsRates[(b2 >> 2) & 0xF], ((b2 & 1) << 2) | (b3 >> 6));
}

bool adts_frames(std::string_view b, std::size_t at) {
    std::size_t length = adts_frame(b, at);
    return length > 0 && adts_frame(b, at + length) > 0;
}

// The kind of a stream of frames starting at `at` of b.
std::string frames_kind(std::string_view b, std::size_t at, Context& ctx) {
    if (flac_at(b, at)) {
        ctx.detail = streaminfo_detail(b, at + 8);
        return "flac";
    }
    if (adts_frames(b, at)) {
        ctx.detail = adts_detail(b, at);
        return "aac,adts";
    }
    Frame f;
    if (mpeg_frames(b, at) && mpeg_frame(b, at, f)) {
        ctx.detail = "MPEG-" + std::string(f.version == 3 ? "1" : f.version == 2 ? "2" : "2.5") + " layer III, " +
                     std::to_string(f.rate) + " Hz";
        return "mp3";
    }
    return {};
}

std::string stream_at_start(const HexImage&, Context& ctx) { return frames_kind(probe_of(ctx).head(), 0, ctx); }

// ID3v2 tags (one or a few) before a stream: what follows them tells.
std::string after_id3(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::uint64_t at = 0;
    for (int tags = 0; tags < 4; ++tags) {
        std::string_view h = probe.read(at, 10);
        if (!bytes::at(h, 0, "ID3")) break;
        unsigned version = bytes::u8(h, 3);
        if (version < 2 || version > 4) return {};
        std::uint64_t size = 0;
        for (std::size_t i = 6; i < 10; ++i) {
            unsigned c = bytes::u8(h, i);
            if (c & 0x80) return {};
            size = (size << 7) | c;
        }
        at += 10 + size + ((bytes::u8(h, 5) & 0x10) ? 10 : 0);
    }
    std::string_view b = probe.read(at, 4096);
    // A few zero bytes of padding may stand between the tag and the stream.
    std::size_t skip = 0;
    while (skip < 512 && skip < b.size() && b[skip] == '\0') ++skip;
    std::string kind = frames_kind(b, skip, ctx);
    if (kind.empty()) ctx.detail.clear();
    return kind;
}

}  // namespace

const Table& audio_table() {
    static const Table rows = {
        {"1", {at(0, "664C6143")}, stream_at_start},
        {"2", {at(0, "494433")}, after_id3},
        // MPEG audio layer III frames (FFE..FFF with layer bits 01) and ADTS (layer bits 00).
        {"3", {at(0, "FF"), any({at_char(2, "E"), at_char(2, "F")})}, stream_at_start},
        // AMR, narrow and wide band, single and multi-channel.
        {"4", {at(0, "2321414D520A")}, "amr", {detail("AMR narrow band")}},
        {"5", {at(0, "2321414D525F4D43312E300A")}, "amr", {detail("AMR narrow band, multi-channel")}},
        {"6", {at(0, "2321414D522D57420A")}, "awb,amr", {detail("AMR wide band")}},
        {"7", {at(0, "2321414D522D57425F4D43312E300A")}, "awb,amr", {detail("AMR wide band, multi-channel")}},
        // DSD stream files: DSF (a 28-byte DSD chunk) and DSDIFF.
        {"8", {at(0, "44534420"), at(4, "1C00000000000000"), at(28, "666D7420")}, "dsf"},
        {"9", {at(0, "46524D38"), at(12, "44534420")}, "dff"},
        // WavPack blocks (stream versions 4.02 to 4.10) and Monkey's Audio.
        {"10", {at(0, "7776706B"), at(9, "04"), when([](const HexImage& img, const Context&) {
                    int minor = img.byte(8);
                    return minor >= 2 && minor <= 0x10;
                })},
         "wv"},
        {"11", {at(0, "4D414320"), when([](const HexImage& img, const Context&) {
                    int version = img.byte(4) | (img.byte(5) << 8);
                    return img.byte(5) >= 0 && version >= 3800 && version <= 4100;
                })},
         "ape"},
        // MIDI in a RIFF wrapper.
        {"12", {at(0, "52494646"), at(8, "524D494464617461")}, "rmi,mid"},
    };
    return rows;
}

}  // namespace zarvo::current
