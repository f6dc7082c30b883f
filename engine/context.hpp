// The values one identification carries from the sample reader through the
// detectors to the result record.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

namespace current {
class Probe;
}

enum Option : std::uint32_t {
    kMacBinary = 1,  // the head image loses its first 128 bytes
    kFooter = 2,     // tail image and footer signatures
    kSpecial = 4,    // special identification and the window scan
    kQuiet = 8,      // no error report when the file cannot be opened
    kCurrent = 16,   // the current-formats layer is asked first
};

struct Context {
    std::uint32_t options = 0;
    std::int32_t sample_length = 0;
    std::uint64_t file_size = 0;   // the true size
    std::string present_ext;       // lower case, without the dot
    std::int32_t selector = 1;     // 1: primary table; 2 and more: secondary table case
    std::string detail;            // Shift-JIS
    current::Probe* probe = nullptr;  // what the current-formats layer may read (its calls only)

    bool special() const { return options & kSpecial; }
};

}  // namespace zarvo
