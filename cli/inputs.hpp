// Gathering the paths to identify: arguments, folders walked recursively,
// and lists read from a file or standard input.
#pragma once

#include <string>
#include <vector>

namespace oxtarn::cli {

struct InputOptions {
    bool recursive = false;
    bool follow_symlinks = false;
    bool null_separated = false;  // lists are NUL-separated instead of one path a line
};

struct Inputs {
    std::vector<std::string> files;   // in the order given; folders expanded in name order
    std::vector<std::string> errors;  // "path: reason" for inputs that could not be expanded
};

// Expands `args` ("-" reads a list from standard input) and the list file
// `files_from` (empty: none; "-": standard input).
Inputs gather(const std::vector<std::string>& args, const std::string& files_from, const InputOptions& opt);

}  // namespace oxtarn::cli
