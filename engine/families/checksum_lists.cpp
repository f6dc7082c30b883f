// Checksum and name list files.
#include <string_view>

#include "families.hpp"
#include "rules.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Two hex digits spell an ASCII digit or an uppercase ASCII letter (a byte
// the image does not reach is neither).
bool letter_or_digit(std::string_view digits) {
    if (digits.size() < 2) return false;
    unsigned char b = text::hex_pair(digits[0], digits[1]);
    return (b >= 0x30 && b <= 0x39) || (b >= 0x41 && b <= 0x5A);
}

// Row 1: "CRC" after the start (first occurrence from character 5 on), then
// "Byte" at or after the position of "CRC" plus 4; both found as text.
Test crc_then_byte() {
    return when([](const HexImage& image, const Context&) {
        long crc = image.find("435243", 5);
        return crc > 5 && image.find("42797465", crc + 4) >= 0;
    });
}

// Row 2: bytes 2 and 3 are letters or digits.
Test letters_or_digits_at_2_and_3() {
    return when([](const HexImage& image, const Context&) {
        return letter_or_digit(image.bytes(2, 1)) && letter_or_digit(image.bytes(3, 1));
    });
}

}  // namespace

const Table& checksum_lists_table() {
    static const Table rows = {
    // row  tests                                              answer
    {"1", {at(0, "4E616D65"), crc_then_byte()},                "crc"},
    {"2", {at(0, "3033"), letters_or_digits_at_2_and_3()},     "sslst"},
    // 3: none of the above gives empty text.
    };
    return rows;
}

}  // namespace zarvo::families
