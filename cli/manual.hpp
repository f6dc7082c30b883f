// The manual page, made from the same texts as --help.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace oxtarn::cli {

std::string manual_page(const CLI::App& app);

// What --version prints: the tool's version and the engine's.
std::string version_text();

}  // namespace oxtarn::cli
