// The tool's commands, each returning the exit status: 0 all well, 1 some
// file could not be read, renamed or put back (or the output could not be
// written), 2 a usage error.
#pragma once

#include <string>

#include "settings.hpp"

namespace oxtarn::cli {

int run_identify(const Settings& s);
int run_undo(const std::string& journal, bool dry_run);
int run_describe(const std::string& ext, int variant);
int run_list_extensions(bool current);

}  // namespace oxtarn::cli
