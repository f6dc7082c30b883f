// What a run of the tool was asked to do, once the command line is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "escape.hpp"
#include "inputs.hpp"

namespace oxtarn::cli {

enum class Format { kText, kJson, kCsv };

struct Settings {
    std::int32_t sample = 256;
    std::uint32_t options = 0;  // the engine's option bits (ZARVO_MACBINARY, ...)
    bool crc = false;
    Format format = Format::kText;
    Charset charset = Charset::kUtf8;
    bool fix = false;
    bool dry_run = false;
    std::string journal;
    unsigned jobs = 1;
    bool quiet = false;
    std::vector<std::string> paths;
    std::string files_from;
    InputOptions inputs;
};

}  // namespace oxtarn::cli
