// Renaming files to the extension they ought to carry, safely: a rename
// never replaces an existing file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxtarn::cli {

// Renames `from` to `to` unless `to` exists (atomically where the system can).
// Returns empty text on success, else the reason.
std::string rename_no_replace(const std::string& from, const std::string& to);

// The entries of a candidate list ("zip,jar,wmz"); none for "?" or "".
std::vector<std::string> split_candidates(std::string_view list);

// The new path for a file whose candidates (UTF-8, comma-separated, present
// extension first) do not include its present extension; nothing when the
// file needs no rename or cannot get one (unknown kind, no usable candidate).
// Decided from the file's own name, whatever folder part the path has: the
// extension is what follows the name's last dot, unless that dot starts the
// name (".profile" becomes ".profile.zip").
std::optional<std::string> fixed_path(const std::string& path, std::string_view candidates);

}  // namespace oxtarn::cli
