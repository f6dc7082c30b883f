// The rename journal, so that every rename of --fix can be undone: a header
// line that marks the file as an oxtarn journal, then one JSON object a line
// for each rename, written whole and made durable before the rename.
#pragma once

#include <memory>
#include <string>

#include "output.hpp"
#include "system.hpp"

namespace oxtarn::cli {

class Journal {
public:
    // Creates a new journal, or opens one of ours to add to; refuses any
    // other file. Nothing, with the reason in `error`, when it cannot.
    static std::unique_ptr<Journal> open(const std::string& path, std::string& error);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Records the coming rename of the file `from` (whose identity is `id`)
    // to `to`; false, with the reason in `error`, when the entry could not
    // be made durable (no rename may follow then).
    bool record(const std::string& from, const std::string& to, const FileIdentity& id, std::string& error);

    const std::string& path() const { return path_; }

private:
    Journal() = default;
    std::string path_;
    int fd_ = -1;
    bool torn_ = false;  // the file does not end with a line end: the next entry starts a line
};

struct UndoOutcome {
    int restored = 0;
    int failed = 0;
};

// Puts back the names a journal recorded, newest first, each only while the
// file under its new name is the one that was renamed; reports every entry
// it cannot apply.
UndoOutcome undo(const std::string& journal_path, bool dry_run, Output& out, Terminal& term);

}  // namespace oxtarn::cli
