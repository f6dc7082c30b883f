// oxtarn-cli: identifies files from their content, prints what they are, and
// renames misnamed ones on request.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/catalogue.hpp"
#include "crc.hpp"
#include "ext_list.hpp"
#include "identify.hpp"
#include "inputs.hpp"
#include "manual.hpp"
#include "path_parts.hpp"
#include "rename.hpp"
#include "sjis.hpp"
#include "system.hpp"
#include "text.hpp"

namespace {

using namespace oxtarn::cli;

const std::map<std::string, std::uint32_t> kModes{{"normal", 0}, {"macbinary", 1}, {"footer", 2}, {"special", 4}};

struct Settings {
    std::int32_t sample = 256;
    std::uint32_t options = 0;
    bool crc = false;
    std::string format = "text";
    std::string encoding = "utf-8";
    bool fix = false;
    bool dry_run = false;
    std::string journal;
    unsigned jobs = 1;
    bool quiet = false;
};

// What the tool learnt of one file (texts still in Shift-JIS).
struct Outcome {
    std::string path;
    std::string error;  // non-empty: the file could not be read
    zarvo::Result result;
    std::uint16_t crc16 = 0;
    std::uint32_t crc32 = 0;
};

Outcome examine(const std::string& path, const Settings& s) {
    Outcome o{path, {}, {}, 0, 0};
    // Quiet: the tool reports unreadable files itself, once, in its own words.
    zarvo::Identification id = zarvo::identify(path.c_str(), s.sample, s.options | zarvo::kQuiet);
    if (id.status != zarvo::Identification::Status::kRead) {
        std::error_code ec;
        if (std::filesystem::is_directory(fs_path(path), ec)) o.error = "is a folder (use -r to identify what it holds)";
        else o.error = id.error.empty() ? "the file could not be read" : id.error;
        return o;
    }
    o.result = zarvo::to_result(id);
    if (s.crc) {
        o.crc16 = zarvo::file_crc16(path.c_str());
        o.crc32 = zarvo::file_crc32(path.c_str());
    }
    return o;
}

std::string hex(std::uint32_t value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

class Printer {
public:
    explicit Printer(const Settings& s) : s_(s) {
        if (s_.format == "csv") {
            std::cout << "path,extension,candidates,description,detail";
            if (s_.crc) std::cout << ",crc16,crc32";
            std::cout << ",error\n";
        }
    }

    void print(const Outcome& o) {
        if (s_.format == "json") print_json(o);
        else if (s_.format == "csv") print_csv(o);
        else print_text(o);
    }

private:
    // Appends an engine text in the chosen encoding.
    void add_text(std::string& line, const std::string& sjis) const {
        if (s_.encoding == "shift_jis") line += sjis;
        else zarvo::sjis::append_utf8(line, sjis);
    }
    std::string out_text(const std::string& sjis) const {
        std::string text;
        add_text(text, sjis);
        return text;
    }
    // Paths and error texts as the system gave them (on Windows in its ANSI
    // code page), or UTF-8.
    std::string out_system(const std::string& path) const {
        return s_.encoding == "shift_jis" ? path : system_to_utf8(path);
    }

    static std::string one_line(std::string t) {
        std::string out;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
                out += "; ";
                ++i;
            } else if (t[i] == '\r' || t[i] == '\n') {
                out += "; ";
            } else {
                out += t[i];
            }
        }
        return out;
    }

    void print_text(const Outcome& o) {
        if (!o.error.empty()) return;  // reported on standard error
        std::string& line = line_;  // kept from file to file, so that it is allocated once
        line.assign(out_system(o.path));
        line += ": ";
        add_text(line, o.result.extensions);
        if (!o.result.description.empty()) {
            line += "  ";
            add_text(line, o.result.description);
        }
        if (!o.result.detail.empty()) line += "  [" + one_line(out_text(o.result.detail)) + "]";
        if (s_.crc) line += "  crc16=" + hex(o.crc16, 4) + " crc32=" + hex(o.crc32, 8);
        line += '\n';
        std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));  // one write a file
    }

    void print_json(const Outcome& o) {
        nlohmann::ordered_json j;
        j["path"] = system_to_utf8(o.path);
        j["extension"] = system_to_utf8(zarvo::path_part(o.path, zarvo::kExtension));
        if (!o.error.empty()) {
            j["error"] = system_to_utf8(o.error);
        } else {
            std::vector<std::string> candidates;
            if (o.result.extensions != "?") {
                std::string list = zarvo::sjis::to_utf8(o.result.extensions);
                long n = zarvo::text::count(list, ',') + 1;
                for (long k = 1; k <= n; ++k) candidates.emplace_back(zarvo::text::field(list, k));
            }
            j["candidates"] = candidates;
            j["description"] = zarvo::sjis::to_utf8(o.result.description);
            j["detail"] = zarvo::sjis::to_utf8(o.result.detail);
            if (s_.crc) {
                j["crc16"] = hex(o.crc16, 4);
                j["crc32"] = hex(o.crc32, 8);
            }
        }
        std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    }

    static std::string csv_field(const std::string& v) {
        if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
        std::string out = "\"";
        for (char c : v) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    }

    void print_csv(const Outcome& o) {
        bool ok = o.error.empty();
        std::cout << csv_field(out_system(o.path)) << ","
                  << csv_field(out_system(zarvo::path_part(o.path, zarvo::kExtension))) << ","
                  << csv_field(ok ? out_text(o.result.extensions) : "") << ","
                  << csv_field(ok ? out_text(o.result.description) : "") << ","
                  << csv_field(ok ? out_text(o.result.detail) : "");
        if (s_.crc) std::cout << "," << (ok ? hex(o.crc16, 4) : "") << "," << (ok ? hex(o.crc32, 8) : "");
        std::cout << "," << csv_field(out_system(o.error)) << "\n";
    }

    const Settings& s_;
    std::string line_;
};

// A progress line on standard error, only on a terminal and only once a run
// has taken longer than a moment.
class Progress {
public:
    Progress(std::size_t total, bool enabled) : total_(total), enabled_(enabled && stderr_is_terminal()) {}
    ~Progress() {
        if (shown_) std::cerr << "\r\033[K" << std::flush;
    }
    void update(std::size_t done) {
        if (!enabled_) return;
        auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::milliseconds(700) || now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        shown_ = true;
        std::cerr << "\r" << done << "/" << total_ << " files" << std::flush;
    }

private:
    std::size_t total_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_{};
};

// Identifies the files on `jobs` threads through the reentrant core and hands
// each outcome to `take` in input order. One job runs on the calling thread;
// several take the files in runs, so that a thread is woken once a run rather
// than once a file.
template <typename Take>
void identify_all(const std::vector<std::string>& files, const Settings& s, Take&& take) {
    Progress progress(files.size(), !s.quiet);
    unsigned workers = std::max(1u, std::min<unsigned>(s.jobs, static_cast<unsigned>(files.size())));
    if (workers == 1) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            take(examine(files[i], s));
            progress.update(i + 1);
        }
        return;
    }

    // Runs small enough that every thread gets several and output keeps flowing.
    const std::size_t run = std::clamp<std::size_t>(files.size() / (8 * workers), 1, 64);
    const std::size_t runs = (files.size() + run - 1) / run;
    std::vector<Outcome> outcomes(files.size());
    std::vector<char> done(runs, 0);  // guarded by m
    std::mutex m;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};

    std::vector<std::jthread> pool;
    for (unsigned w = 0; w < workers; ++w)
        pool.emplace_back([&] {
            for (std::size_t r; (r = next.fetch_add(1)) < runs;) {
                std::size_t end = std::min(files.size(), (r + 1) * run);
                // Each slot is written by this thread alone and read only once `done` says so.
                for (std::size_t i = r * run; i < end; ++i) outcomes[i] = examine(files[i], s);
                std::lock_guard lock(m);
                done[r] = 1;
                ready.notify_all();
            }
        });

    for (std::size_t r = 0; r < runs; ++r) {
        {
            std::unique_lock lock(m);
            ready.wait(lock, [&] { return done[r] != 0; });
        }
        std::size_t end = std::min(files.size(), (r + 1) * run);
        for (std::size_t i = r * run; i < end; ++i) {
            take(outcomes[i]);
            outcomes[i] = Outcome();
            progress.update(i + 1);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Tells what kind of file a file really is from its bytes, whatever its name says, "
                 "and renames misnamed files to the extension they ought to carry.",
                 "oxtarn-cli"};
    app.footer(
        "Exit status: 0 when every file was read, 1 when some could not be read (or a rename failed), "
        "2 for a usage error.\n"
        "Examples:\n"
        "  oxtarn-cli photo.dat                    what is this file?\n"
        "  oxtarn-cli -r --format json downloads/  every file below a folder, as JSON Lines\n"
        "  oxtarn-cli -r --fix --journal j.log .   rename misnamed files, keeping a journal\n"
        "  oxtarn-cli --undo j.log                 put those names back");
    Settings s;
    s.jobs = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::string> paths;
    std::string files_from, mode, undo_journal, describe;
    std::int32_t table = 1;
    InputOptions in;
    bool list_extensions = false, manual = false;

    app.add_option("paths", paths, "Files (and, with -r, folders) to identify; - reads a list from standard input");
    app.add_flag("-r,--recursive", in.recursive, "Identify every file below the folders given");
    app.add_flag("-L,--follow-symlinks", in.follow_symlinks,
                 "Follow symbolic links while walking folders (a folder is never entered twice)");
    app.add_option("--files-from", files_from, "Read the paths to identify from FILE, one a line (- for standard input)");
    app.add_flag("-0,--null", in.null_separated, "Lists of paths are separated by NUL bytes, not line ends");
    app.add_option("--sample", s.sample,
                   "Bytes read from the start of each file: 256 (default), 512, 1000, 2000, 3000, 6000, "
                   "or any value from 0 to 40000")
        ->check(CLI::Range(0, 40000));
    auto* mode_opt = app.add_option("--mode", mode, "Inspection: normal, macbinary, footer or special")
                         ->check(CLI::IsMember({"normal", "macbinary", "footer", "special"}));
    app.add_option("--options", s.options, "Raw option bits: 1 MacBinary, 2 footer, 4 special (instead of --mode)")
        ->excludes(mode_opt);
    app.add_flag("--crc", s.crc, "Also print the CRC-16 and CRC-32 of each file");
    app.add_option("--format", s.format, "Output: text (default), json (JSON Lines) or csv")
        ->check(CLI::IsMember({"text", "json", "csv"}));
    app.add_option("--encoding", s.encoding, "Texts in text and csv output: utf-8 (default) or shift_jis")
        ->check(CLI::IsMember({"utf-8", "shift_jis"}));
    app.add_flag("--fix", s.fix,
                 "Rename each file whose extension is not among its candidates to the first candidate "
                 "(never replacing an existing file)");
    app.add_flag("-n,--dry-run", s.dry_run, "With --fix or --undo: show what would be renamed, rename nothing");
    app.add_option("--journal", s.journal, "With --fix: record every rename in FILE, for --undo");
    auto* undo_opt = app.add_option("--undo", undo_journal, "Put back the names that a --fix journal recorded");
    app.add_option("--describe", describe, "Print the description of an extension from the catalogue");
    app.add_option("--table", table, "With --describe: 1 the primary table (default), 2 and more a variant case");
    app.add_flag("--list-extensions", list_extensions, "Print every extension the engine knows, one a line");
    app.add_option("-j,--jobs", s.jobs, "Files identified at once (default: the number of cores)")
        ->check(CLI::Range(1u, 1024u));
    app.add_flag("-q,--quiet", s.quiet, "No progress line");
    app.set_version_flag("--version", version_text(), "Print the tool's and the engine's versions");
    app.add_flag("--man", manual, "Print this help as a manual page (roff)")->group("");

    try {
        app.parse(argc, argv);
        if (s.journal.size() && !s.fix) throw CLI::ValidationError("--journal", "goes with --fix");
        if (s.dry_run && !s.fix && undo_opt->count() == 0) throw CLI::ValidationError("--dry-run", "goes with --fix or --undo");
        if (s.format == "json" && s.encoding == "shift_jis")
            throw CLI::ValidationError("--encoding", "JSON output is always UTF-8");
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    if (manual) {
        std::cout << oxtarn::cli::manual_page(app);
        return 0;
    }
    if (list_extensions) {
        std::string list(zarvo::kKnownExtensions);
        for (char& c : list)
            if (c == ',') c = '\n';
        std::cout << list << "\n";
        return 0;
    }
    if (!describe.empty()) {
        std::cout << zarvo::sjis::to_utf8(zarvo::catalogue::describe(describe, table)) << "\n";
        return 0;
    }
    if (undo_opt->count() > 0) {
        UndoOutcome u = undo(undo_journal, s.dry_run);
        return u.failed ? 1 : 0;
    }
    if (mode_opt->count() > 0) s.options = kModes.at(mode);
    if (paths.empty() && files_from.empty()) {
        std::cerr << "oxtarn-cli: no files given (see --help)\n";
        return 2;
    }

    Inputs inputs = gather(paths, files_from, in);
    int failures = 0;
    for (const std::string& e : inputs.errors) {
        std::cerr << "oxtarn-cli: " << e << "\n";
        ++failures;
    }
    std::optional<Journal> journal;
    if (s.fix && !s.journal.empty() && !s.dry_run) {
        journal.emplace(s.journal);
        if (!journal->ok()) {
            std::cerr << "oxtarn-cli: " << s.journal << ": cannot write the journal\n";
            return 2;
        }
    }

    Printer printer(s);
    identify_all(inputs.files, s, [&](const Outcome& o) {
        if (!o.error.empty()) {
            std::cerr << "oxtarn-cli: " << o.path << ": " << o.error << "\n";
            ++failures;
        }
        if (s.format != "text" || !s.fix) printer.print(o);
        if (!s.fix || !o.error.empty()) return;
        std::optional<std::string> to = fixed_path(o.path, zarvo::sjis::to_utf8(o.result.extensions));
        if (!to) return;
        if (s.dry_run) {
            std::cout << o.path << " -> " << *to << " (dry run)\n";
            return;
        }
        if (std::string reason = rename_no_replace(o.path, *to); !reason.empty()) {
            std::cerr << "oxtarn-cli: not renamed: " << o.path << ": " << reason << "\n";
            ++failures;
            return;
        }
        if (journal) journal->record(o.path, *to);
        if (s.format == "text") std::cout << o.path << " -> " << *to << "\n";
    });
    return failures ? 1 : 0;
}
