// The layer's raw DEFLATE decoder: streams made by python3's zlib
// (compressobj(level, DEFLATED, -15)) of the texts below, streams written
// bit by bit to break the format, and every cut of the good ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "current/inflate.hpp"

namespace {

using zarvo::current::Inflate;
using zarvo::current::inflate;

const std::string kTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/></Types>";

struct Stream {
    const char* what;
    std::string data;
    std::string text;
};

const std::vector<Stream>& streams() {
    static const std::vector<Stream> s = {
        // level 0: one stored block
        {"stored", std::string("\x01\x0E\x00\xF1\xFF\x61\x20\x73\x74\x6F\x72\x65\x64\x20\x62\x6C\x6F\x63\x6B", 19), "a stored block"},
        // a fixed block, with a distance copy
        {"fixed", std::string("\xCB\x48\xCD\xC9\xC9\xD7\x51\xC8\x40\xA2\x14\xCA\xF3\x8B\x72\x52\x00", 17), "hello, hello, hello world"},
        // a dynamic block
        {"dynamic",
         std::string("\x7D\x50\xC9\x4E\xC3\x30\x10\xBD\xF3\x15\x96\xAF\x28\x76\xE0\x80\x10\x4A\xD2\x03\xCB\x11\x38\x94\x0F\x18\xD9\x93"
                     "\xC4\xAA\x37\x79\xDC\xD2\xFE\x3D\x93\xB6\x70\x40\x85\xA3\xFD\xD6\x79\xDD\x6A\x1F\xBC\xD8\x61\x21\x97\x62\x2F\x6F"
                     "\x54\x2B\x05\x46\x93\xAC\x8B\x53\x2F\x3F\xD6\x2F\xCD\xBD\x14\x54\x21\x5A\xF0\x29\x62\x2F\x0F\x48\x72\x35\x5C\x75"
                     "\xEB\x43\x46\x12\x2C\x8E\xD4\xCB\xB9\xD6\xFC\xA0\x35\x99\x19\x03\x90\x4A\x19\x23\x23\x63\x2A\x01\x2A\x3F\xCB\xA4"
                     "\x33\x98\x0D\x4C\xA8\x6F\xDB\xF6\x4E\x9B\x14\x2B\xC6\xDA\xD4\xC5\x43\x0E\xDD\x13\x8E\xB0\xF5\x55\x3C\xEF\xF9\xFB"
                     "\x54\xA4\xA0\x27\x29\x1E\x4F\xC4\x25\xAB\x97\x90\xB3\x77\x06\x2A\xE3\x7A\x17\xED\xAF\x94\xE6\x9C\xA0\x58\x79\xE4"
                     "\xD0\xEC\x32\x5D\x33\x41\xEA\x8B\x09\x0B\xF2\x77\xC0\x59\xF7\xC6\xCB\x14\x67\x51\xBC\x43\xA9\xAF\x10\x98\xA5\x3F"
                     "\x53\xB1\xDA\x26\xB3\x0D\xAC\x54\xFF\xDB\x5C\xE8\x99\xC6\xD1\x19\xFC\xD1\x2F\x6E\xB9\x24\x83\x44\x3C\x79\xF0\xAA"
                     "\x62\xC8\x7C\x01\xAA\x00\x2E\x7E\xF7\xD7\xC7\xB9\x87\x2F",
                     238),
         kTypes},
        // a long run: copies of 258 at distance 1
        {"run", std::string("\x4B\x4C\x1C\x05\xA3\x60\x14\x0C\x77\x90\x04\x00", 12), std::string(1000, 'a') + "b"},
        // a fixed block, an empty stored block (a sync flush), and a final
        // fixed block copying from the first
        {"blocks",
         std::string("\x4A\xCB\x2C\x2A\x2E\x51\x28\x48\x2C\x2A\xD1\x51\x00\x00\x00\x00\xFF\xFF\x4B\x43\x62\x17\xA7\x26\xE7\xE7"
                     "\xA5\x80\x39\x00",
                     30),
         "first part, first part, second part"},
    };
    return s;
}

TEST(CurrentInflate, DecodesEveryKindOfBlock) {
    for (const Stream& s : streams()) {
        std::string out;
        EXPECT_EQ(inflate(s.data, 1 << 16, out), Inflate::done) << s.what;
        EXPECT_EQ(out, s.text) << s.what;
        // Bytes after the final block are not read.
        EXPECT_EQ(inflate(s.data + "junk", 1 << 16, out), Inflate::done) << s.what;
        EXPECT_EQ(out, s.text) << s.what;
    }
}

TEST(CurrentInflate, StopsAtTheOutputLimit) {
    for (const Stream& s : streams()) {
        for (std::size_t limit : {std::size_t{0}, std::size_t{1}, s.text.size() / 2, s.text.size() - 1}) {
            std::string out;
            EXPECT_EQ(inflate(s.data, limit, out), Inflate::limit) << s.what << " " << limit;
            EXPECT_EQ(out, s.text.substr(0, limit)) << s.what << " " << limit;
        }
        std::string out;
        EXPECT_EQ(inflate(s.data, s.text.size(), out), Inflate::done) << s.what;
    }
}

TEST(CurrentInflate, EveryCutOfAStreamIsTruncated) {
    for (const Stream& s : streams()) {
        for (std::size_t n = 0; n < s.data.size(); ++n) {
            std::string out;
            EXPECT_EQ(inflate(s.data.substr(0, n), 1 << 16, out), Inflate::truncated) << s.what << " cut at " << n;
            EXPECT_EQ(out, s.text.substr(0, out.size())) << s.what << " cut at " << n;
        }
    }
}

// Bits as the format packs them: numbers lowest bit first, Huffman codes
// highest bit first.
struct Bits {
    std::string bytes;
    int used = 8;
    Bits& put(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bit((v >> i) & 1);
        return *this;
    }
    Bits& code(std::uint32_t c, int n) {
        for (int i = n; i-- > 0;) bit((c >> i) & 1);
        return *this;
    }
    void bit(std::uint32_t b) {
        if (used == 8) bytes.push_back('\0'), used = 0;
        bytes.back() = static_cast<char>(bytes.back() | (b << used++));
    }
};

// A final fixed block's header, and its codes.
Bits fixed_block() { return Bits().put(1, 1).put(1, 2); }
Bits& literal(Bits& b, unsigned char c) { return c < 144 ? b.code(0x30 + c, 8) : b.code(0x190 + c - 144, 9); }

// A final dynamic block's header with the code length code's lengths
// (in their stored order).
Bits dynamic_block(int nlen, int ndist, const std::vector<int>& code_lengths) {
    Bits b;
    b.put(1, 1).put(2, 2).put(nlen - 257, 5).put(ndist - 1, 5).put(static_cast<std::uint32_t>(code_lengths.size() - 4), 4);
    for (int l : code_lengths) b.put(l, 3);
    return b;
}

TEST(CurrentInflate, HostileStreamsFailCleanly) {
    struct Case {
        const char* what;
        std::string data;
        Inflate expected;
        std::string out;  // decoded before the failure
    };
    std::vector<Case> cases;
    {
        Bits b = fixed_block();
        b.code(1, 7).code(0, 5);  // length 3 at distance 1, with nothing written
        cases.push_back({"distance before the start", b.bytes, Inflate::invalid, ""});
        Bits c = fixed_block();
        literal(c, 'x').code(1, 7).code(1, 5);  // distance 2 after one byte
        cases.push_back({"distance past the first byte", c.bytes, Inflate::invalid, "x"});
        Bits d = fixed_block();
        literal(d, 'x').code(1, 7).code(0, 5).code(0, 7);  // distance 1 is fine
        cases.push_back({"distance 1 after one byte", d.bytes, Inflate::done, "xxxx"});
        Bits e = fixed_block();
        e.code(1, 7).code(30, 5);
        cases.push_back({"distance symbol 30", e.bytes, Inflate::invalid, ""});
        Bits f = fixed_block();
        f.code(0xC0 + 286 - 280, 8);
        cases.push_back({"length symbol 286", f.bytes, Inflate::invalid, ""});
    }
    cases.push_back({"reserved block type", Bits().put(1, 1).put(3, 2).bytes, Inflate::invalid, ""});
    cases.push_back({"stored length against its complement", std::string("\x01\x05\x00\xFA\xFE" "abcde", 10), Inflate::invalid, ""});
    cases.push_back({"huge stored length", std::string("\x01\xFF\xFF\x00\x00" "abcde", 10), Inflate::truncated, "abcde"});
    cases.push_back({"empty input", "", Inflate::truncated, ""});
    // Code length codes in stored order: 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1 15.
    cases.push_back({"over-subscribed code length code", dynamic_block(257, 1, std::vector<int>(19, 1)).bytes, Inflate::invalid, ""});
    cases.push_back({"incomplete code length code", dynamic_block(257, 1, {2, 2, 0, 0}).bytes, Inflate::invalid, ""});
    {
        Bits b = dynamic_block(257, 1, {1, 1, 0, 0});  // 16 is '0', 17 is '1'
        b.code(0, 1);
        cases.push_back({"repeat with nothing before", b.bytes, Inflate::invalid, ""});
        Bits c = dynamic_block(257, 1, {0, 1, 1, 0});  // 17 is '0', 18 is '1'
        c.code(1, 1).put(127, 7).code(1, 1).put(127, 7);
        cases.push_back({"zeros past the lengths' end", c.bytes, Inflate::invalid, ""});
        Bits d = dynamic_block(257, 1, {0, 1, 1, 0});
        d.code(1, 1).put(127, 7).code(1, 1).put(109, 7);
        cases.push_back({"no end-of-block code", d.bytes, Inflate::invalid, ""});
    }
    {
        // 1 is '0', 18 is '1': literal 0, 255 and 256 of length 1 each.
        std::vector<int> lengths(18, 0);
        lengths[2] = 1;
        lengths[17] = 1;
        Bits b = dynamic_block(257, 11, lengths);
        b.code(0, 1).code(1, 1).put(127, 7).code(1, 1).put(105, 7).code(0, 1).code(0, 1).code(1, 1).put(0, 7);
        cases.push_back({"over-subscribed literal code", b.bytes, Inflate::invalid, ""});
        // Literal 0 and end of block alone, no distance codes: literals only.
        Bits c = dynamic_block(257, 11, lengths);
        c.code(0, 1).code(1, 1).put(127, 7).code(1, 1).put(106, 7).code(0, 1).code(1, 1).put(0, 7);
        c.code(0, 1).code(0, 1).code(1, 1);
        cases.push_back({"literals without distance codes", c.bytes, Inflate::done, std::string(2, '\0')});
    }
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(inflate(c.data, 1 << 16, out), c.expected) << c.what;
        EXPECT_EQ(out, c.out) << c.what;
    }
}

}  // namespace
