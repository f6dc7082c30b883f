#include "journal.hpp"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "inputs.hpp"
#include "rename.hpp"
#include "text.hpp"

#ifdef _WIN32
#include <io.h>
#define JOURNAL_OPEN(path, flags, mode) ::_open(path, (flags) | _O_BINARY, mode)
#define JOURNAL_CLOSE ::_close
#define JOURNAL_READ(fd, buf, n) ::_read(fd, buf, static_cast<unsigned>(n))
#define JOURNAL_SEEK ::_lseeki64
#else
#include <unistd.h>
#define JOURNAL_OPEN(path, flags, mode) ::open(path, (flags) | O_CLOEXEC | O_NOCTTY, mode)
#define JOURNAL_CLOSE ::close
#define JOURNAL_READ ::read
#define JOURNAL_SEEK ::lseek
#endif

namespace oxtarn::cli {

namespace {

constexpr const char* kHeaderKey = "oxtarn_journal";
const std::string kHeader = R"({"oxtarn_journal":1,"undo":"oxtarn-cli --undo THIS-FILE"})";
// An entry holds two paths as text and as hex: far below this.
constexpr std::size_t kLongestEntry = 1 << 20;

bool is_header(const std::string& line) {
    auto j = nlohmann::json::parse(line, nullptr, false);
    return j.is_object() && j.contains(kHeaderKey) && j[kHeaderKey] == 1;
}

std::string json_line(const nlohmann::ordered_json& j) {
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::unique_ptr<Journal> Journal::open(const std::string& path, std::string& error) {
    std::unique_ptr<Journal> j(new Journal);
    j->path_ = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            error = std::strerror(errno);
            return nullptr;
        }
        // A new journal: created (never over a file that appears meanwhile),
        // its header and its folder entry made durable.
        j->fd_ = JOURNAL_OPEN(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL, 0644);
        if (j->fd_ < 0) {
            error = std::strerror(errno);
            return nullptr;
        }
        if (!write_durably(j->fd_, kHeader + "\n", error) || !sync_folder_of(path, error)) return nullptr;
        return j;
    }
    if ((st.st_mode & S_IFMT) != S_IFREG) {
        error = "is not a regular file, so not a journal";
        return nullptr;
    }
    j->fd_ = JOURNAL_OPEN(path.c_str(), O_RDWR | O_APPEND, 0);
    if (j->fd_ < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    // Ours only: the first line is the header.
    std::string head(4096, '\0');
    long got = static_cast<long>(JOURNAL_READ(j->fd_, head.data(), head.size()));
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    std::size_t eol = head.find('\n');
    if (eol == std::string::npos || !is_header(head.substr(0, eol))) {
        error = "exists and is not an oxtarn journal (give a new name, or the journal of an earlier --fix)";
        return nullptr;
    }
    // A last line cut short (a run that died while writing) stays apart.
    char last = '\n';
    if (JOURNAL_SEEK(j->fd_, -1, SEEK_END) >= 0 && JOURNAL_READ(j->fd_, &last, 1) != 1) last = '\n';
    j->torn_ = last != '\n';
    return j;
}

Journal::~Journal() {
    if (fd_ >= 0) JOURNAL_CLOSE(fd_);
}

bool Journal::record(const std::string& from, const std::string& to, const FileIdentity& id, std::string& error) {
    // The names as text for people, and byte for byte for --undo: a name
    // that is not valid text must come back exactly, never as a look-alike.
    nlohmann::ordered_json entry{{"from", system_to_utf8(from)},     {"to", system_to_utf8(to)},
                                 {"from_hex", zarvo::text::to_hex(from)}, {"to_hex", zarvo::text::to_hex(to)},
                                 {"volume", id.volume},                  {"node", id.node},
                                 {"size", id.size},                      {"modified", id.modified}};
    std::string line = (torn_ ? "\n" : "") + json_line(entry);
    if (!write_durably(fd_, line, error)) {
        torn_ = true;
        return false;
    }
    torn_ = false;
    return true;
}

namespace {

// The name a journal entry holds byte for byte, if the entry is well formed.
std::optional<std::string> exact_name(const nlohmann::json& entry, const char* key) {
    if (!entry.is_object() || !entry.contains(key) || !entry[key].is_string()) return std::nullopt;
    const std::string& hex = entry[key].get_ref<const std::string&>();
    if (hex.empty() || hex.size() % 2 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return std::nullopt;
    std::string name;
    for (std::size_t i = 0; i < hex.size(); i += 2) name += static_cast<char>(zarvo::text::hex_pair(hex[i], hex[i + 1]));
    if (name.find('\0') != std::string::npos) return std::nullopt;  // no path holds a zero byte
    return name;
}

std::optional<FileIdentity> recorded_identity(const nlohmann::json& e) {
    for (const char* key : {"volume", "node", "size"})
        if (!e.contains(key) || !e[key].is_number_unsigned()) return std::nullopt;
    if (!e.contains("modified") || !e["modified"].is_number_integer()) return std::nullopt;
    return FileIdentity{e["volume"].get<std::uint64_t>(), e["node"].get<std::uint64_t>(), e["size"].get<std::uint64_t>(),
                        e["modified"].get<std::int64_t>()};
}

struct Entry {
    std::size_t line;
    std::string from, to;
    std::optional<FileIdentity> id;
};

bool is(const std::string& path, const FileIdentity& id) {
    FileIdentity now;
    std::string ignored;
    return file_identity(path, now, ignored) && now == id;
}

}  // namespace

UndoOutcome undo(const std::string& journal_path, bool dry_run, Output& out, Terminal& term) {
    UndoOutcome outcome;
    const std::string shown_journal = shown(journal_path);
    std::string error;
    std::FILE* in = open_to_read(journal_path, true, error);
    if (!in) {
        term.error(shown_journal + ": cannot read the journal: " + error);
        ++outcome.failed;
        return outcome;
    }
    LineReader reader(in, '\n', kLongestEntry);
    std::vector<Entry> entries;
    std::string line;
    bool ended = false, headed = false;
    for (std::size_t number = 1;; ++number) {
        LineReader::Status status = reader.next(line, ended);
        if (status == LineReader::Status::kEnd) break;
        auto fail = [&](const std::string& why) {
            term.error(shown_journal + ": line " + std::to_string(number) + ": " + why);
            ++outcome.failed;
        };
        if (status == LineReader::Status::kError) {
            fail(std::string("cannot read the journal: ") + std::strerror(errno));
            break;
        }
        if (status == LineReader::Status::kTooLong) {
            fail("not a journal entry (too long)");
            continue;
        }
        if (line.empty()) continue;
        if (number == 1 && is_header(line)) {
            headed = true;
            continue;
        }
        if (!ended) {  // the run that wrote it stopped before its rename
            fail("not a whole journal entry (cut short by a run that stopped before its rename), left alone");
            continue;
        }
        auto j = nlohmann::json::parse(line, nullptr, false);
        std::optional<std::string> from, to;
        if (!j.is_discarded()) {
            from = exact_name(j, "from_hex");
            to = exact_name(j, "to_hex");
        }
        if (!from || !to) {
            fail("not a whole journal entry, left alone");
            continue;
        }
        entries.push_back({number, *from, *to, recorded_identity(j)});
    }
    std::fclose(in);
    if (!headed && !entries.empty())
        term.error(shown_journal + ": a journal of an older version (no header): its entries lack the files' identity");

    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const Entry& e = *it;
        auto fail = [&](const std::string& why) {
            term.error("cannot put back " + shown(e.from) + ": " + why);
            ++outcome.failed;
        };
        if (!e.id) {
            fail("the entry does not say which file was renamed, so it is left alone");
            continue;
        }
        if (is(e.from, *e.id)) continue;  // never renamed (the rename failed or the run stopped), or put back already
        if (!is(e.to, *e.id)) {
            fail(shown(e.to) + " is not the file that was renamed (gone, replaced or changed since), left alone");
            continue;
        }
        if (!dry_run) {
            if (std::string reason = rename_no_replace(e.to, e.from); !reason.empty()) {
                fail(reason);
                continue;
            }
        }
        out.write(rename_line(e.to, e.from, dry_run, Charset::kUtf8));
        ++outcome.restored;
    }
    return outcome;
}

}  // namespace oxtarn::cli
