// One identification, reentrant: every value lives in the returned object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "context.hpp"
#include "current/catalogue.hpp"
#include "hex_image.hpp"
#include "source.hpp"

namespace zarvo {

struct Identification {
    // kOpenFailed and kReadFailed leave the result empty and the context's
    // file values untouched.
    enum class Status { kOpenFailed, kReadFailed, kRead } status = Status::kOpenFailed;
    std::string error;     // the system's text when the file could not be opened
    std::string result;    // ordered candidate list, or empty text
    Context context;       // the values the detectors left
    bool by_current = false;  // the current-formats layer answered (option bit 16)
    std::string kind;         // then: the layer's first candidate, the key of its catalogue
};

struct Sample;

// The head and tail images of a sample: the head loses its first 128 bytes
// with option bit 1 (MacBinary); the tail image is empty text unless option
// bit 2 is set.
struct Images {
    HexImage head;
    HexImage tail;
};
Images render(const Sample& sample, std::uint32_t options);

// Reads the file's samples and runs the chain. An open failure is reported
// (unless option bit 8 is set) through the platform's report function.
Identification identify(const char* path, std::int32_t sample_length, std::uint32_t options);
// The same over a source (an open file or bytes in memory): every stage reads
// through it. `name` gives the present extension as a path would.
Identification identify(const Source& source, std::string_view name, std::int32_t sample_length,
                        std::uint32_t options);

// The texts of a result record (Shift-JIS).
struct Result {
    std::string extensions;   // "?" when nothing was found
    std::string description;
    std::string detail;
};

// The record's texts for an identification: the description of the first
// entry from the primary table (variant 1) or the secondary one.
Result to_result(const Identification& id);

// The English name and MIME type of the identified kind: the current
// catalogue's for the layer's answers, the classic names' for the chain's
// (empty when the kind has none, or nothing was found).
current::KindName kind_name(const Identification& id);

}  // namespace zarvo
