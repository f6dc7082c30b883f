#include "inputs.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <utility>

#include "system.hpp"

namespace oxtarn::cli {

namespace fs = std::filesystem;

namespace {

struct Walker {
    const InputOptions& opt;
    Inputs& out;
    std::set<FolderId> visited;  // folders entered, so that no loop is followed twice

    void walk(const std::string& dir) {
        FolderId id;
        std::string error;
        if (!folder_id(dir, id, error)) {
            out.errors.push_back(dir + ": " + error);
            return;
        }
        if (!visited.insert(id).second) return;

        std::error_code ec;
        std::vector<fs::directory_entry> entries;
        for (fs::directory_iterator it(fs_path(dir), ec), end; !ec && it != end; it.increment(ec))
            entries.push_back(*it);
        if (ec) {
            out.errors.push_back(dir + ": " + ec.message());
            return;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
        for (const fs::directory_entry& e : entries) {
            std::string p = system_path(e.path());
            bool link = e.is_symlink(ec);
            if (link && !opt.follow_symlinks) continue;
            if (e.is_directory(ec)) walk(p);
            else if (e.is_regular_file(ec)) out.files.push_back(p);
        }
    }
};

void read_list(std::istream& in, bool null_separated, std::vector<std::string>& into) {
    std::string line;
    while (std::getline(in, line, null_separated ? '\0' : '\n')) {
        if (!null_separated && !line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) into.push_back(line);
    }
}

}  // namespace

Inputs gather(const std::vector<std::string>& args, const std::string& files_from, const InputOptions& opt) {
    std::vector<std::string> named;
    bool stdin_used = false;
    auto read_stdin = [&] {
        if (stdin_used) return;
        stdin_used = true;
        read_list(std::cin, opt.null_separated, named);
    };
    Inputs out;
    if (!files_from.empty()) {
        if (files_from == "-") {
            read_stdin();
        } else {
            std::ifstream in(files_from, std::ios::binary);
            if (!in) out.errors.push_back(files_from + ": cannot read the list");
            else read_list(in, opt.null_separated, named);
        }
    }
    for (const std::string& a : args) {
        if (a == "-") read_stdin();
        else named.push_back(a);
    }

    Walker walker{opt, out, {}};
    // Without -r every path goes to the engine as it is (one system call
    // fewer a file); a folder among them is reported when it cannot be read.
    for (const std::string& p : named) {
        std::error_code ec;
        if (opt.recursive && fs::is_directory(fs_path(p), ec)) walker.walk(p);
        else out.files.push_back(p);
    }
    return out;
}

}  // namespace oxtarn::cli
