// Renaming files to the extension they ought to carry, safely: a rename
// never replaces an existing file, and a journal lets every rename be undone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oxtarn::cli {

// Renames `from` to `to` unless `to` exists (atomically where the system can).
// Returns empty text on success, else the reason.
std::string rename_no_replace(const std::string& from, const std::string& to);

// The new path for a file whose candidates (UTF-8, comma-separated, present
// extension first) do not include its present extension; nothing when the
// file needs no rename or cannot get one (unknown kind, no usable candidate).
std::optional<std::string> fixed_path(const std::string& path, std::string_view candidates);

// The journal: one JSON object a line, {"from": ..., "to": ...}.
class Journal {
public:
    explicit Journal(const std::string& path);
    bool ok() const { return ok_; }
    void record(const std::string& from, const std::string& to);

private:
    std::string path_;
    bool ok_ = false;
};

struct UndoOutcome {
    int restored = 0;
    int failed = 0;
};

// Puts back the names a journal recorded, newest first; reports each failure
// on standard error.
UndoOutcome undo(const std::string& journal_path, bool dry_run);

}  // namespace oxtarn::cli
