// oxtarn-cli: identifies files from their content and prints what they are.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "crc.hpp"
#include "identify.hpp"
#include "sjis.hpp"

namespace {

const std::map<std::string, std::uint32_t> kModes{
    {"normal", 0}, {"macbinary", 1}, {"footer", 2}, {"special", 4}};

std::string hex(std::uint32_t value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Tells what kind of file a file really is, from its bytes."};
    std::int32_t sample = 256;
    std::string mode = "normal";
    std::uint32_t options = 0;
    bool crc = false;
    std::vector<std::string> paths;

    app.add_option("--sample", sample, "Bytes read from the start of each file (0 to 40000)")
        ->check(CLI::Range(0, 40000));
    auto* mode_opt = app.add_option("--mode", mode, "Inspection: normal, macbinary, footer or special")
                         ->check(CLI::IsMember({"normal", "macbinary", "footer", "special"}));
    app.add_option("--options", options, "Raw option bits (1 MacBinary, 2 footer, 4 special, 8 quiet)")
        ->excludes(mode_opt);
    app.add_flag("--crc", crc, "Also print the CRC-16 and CRC-32 of each file");
    app.add_option("paths", paths, "Files to identify")->required();
    CLI11_PARSE(app, argc, argv);

    if (mode_opt->count() > 0) options = kModes.at(mode);
    // Unreadable files are reported here, once, not by the engine.
    options |= 8;

    int failures = 0;
    for (const std::string& path : paths) {
        zarvo::Identification id = zarvo::identify(path.c_str(), sample, options);
        if (id.status != zarvo::Identification::Status::kRead) {
            std::cerr << "oxtarn-cli: " << path << ": "
                      << (id.error.empty() ? std::string("the file could not be read") : id.error) << "\n";
            ++failures;
            continue;
        }
        zarvo::Result r = zarvo::to_result(id);
        std::cout << path << "\n"
                  << "  extensions:  " << zarvo::sjis::to_utf8(r.extensions) << "\n"
                  << "  description: " << zarvo::sjis::to_utf8(r.description) << "\n";
        if (!r.detail.empty()) std::cout << "  detail:      " << zarvo::sjis::to_utf8(r.detail) << "\n";
        if (crc)
            std::cout << "  crc16:       " << hex(zarvo::file_crc16(path.c_str()), 4) << "\n"
                      << "  crc32:       " << hex(zarvo::file_crc32(path.c_str()), 8) << "\n";
    }
    return failures ? 1 : 0;
}
