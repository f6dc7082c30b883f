// The values one identification carries from the sample reader through the
// detectors to the result record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "zarvo32.h"

namespace zarvo {

class HexImage;
namespace current {
class Probe;
}

// The option bits, as the public header names them (ZARVO_MACBINARY, ...).
enum Option : std::uint32_t {
    kMacBinary = ZARVO_MACBINARY,  // the head image loses its first 128 bytes
    kFooter = ZARVO_FOOTER,        // tail image and footer signatures
    kSpecial = ZARVO_SPECIAL,      // special identification and the window scan
    kQuiet = ZARVO_QUIET,          // no error report when the file cannot be opened
    kCurrent = ZARVO_CURRENT,      // the current-formats layer is asked first
};

struct Context {
    std::uint32_t options = 0;
    std::int32_t sample_length = 0;
    std::uint64_t file_size = 0;   // the true size
    std::string present_ext;       // lower case, without the dot
    std::int32_t variant = 1;      // the description variant (variants::kPrimary, ...)
    std::string detail;            // Shift-JIS
    current::Probe* probe = nullptr;  // what the current-formats layer may read (its calls only)
    std::string_view kind;  // a current row's catalogue key, where it is not its first candidate
    // While the stages after the chain run (engine/refine): the head image,
    // for the footer rows that test it beside the tail; the chain's answer,
    // which the refining rows keep or replace; and in the window scan the
    // bits of the patterns found in the window.
    const HexImage* head = nullptr;
    std::string_view chain_answer;
    std::uint64_t window_found = 0;

    bool special() const { return options & kSpecial; }
};

}  // namespace zarvo
