// oxtarn-cli: identifies files from their content, prints what they are, and
// renames misnamed ones on request.
#include <CLI/CLI.hpp>

#include <iostream>
#include <map>
#include <string>
#include <thread>

#include "commands.hpp"
#include "manual.hpp"
#include "settings.hpp"
#include "zarvo32.h"

namespace {

using namespace oxtarn::cli;

const std::map<std::string, std::uint32_t> kModes{
    {"normal", 0}, {"macbinary", ZARVO_MACBINARY}, {"footer", ZARVO_FOOTER}, {"special", ZARVO_SPECIAL}};
const std::map<std::string, Format> kFormats{{"text", Format::kText}, {"json", Format::kJson}, {"csv", Format::kCsv}};
const std::map<std::string, Charset> kCharsets{{"utf-8", Charset::kUtf8}, {"shift_jis", Charset::kShiftJis}};

enum class Command { kIdentify, kUndo, kDescribe, kListExtensions, kManual };

// The command line as read, before it is checked.
struct CommandLine {
    Settings settings;
    std::string sample = "256", mode, format = "text", encoding = "utf-8";
    std::string undo_journal, describe;
    std::int32_t variant = 1;
    bool list_extensions = false, current = false, legacy = false, manual = false;
    CLI::Option* mode_opt = nullptr;
    CLI::Option* options_opt = nullptr;
    CLI::Option* undo_opt = nullptr;
};

// A whole number from 0 to 40000, or the reason it is not.
std::string check_sample(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return "not a whole number of bytes: " + text;
    if (text.size() > 5 || std::stol(text) > 40000) return "not in the range 0 to 40000: " + text;
    return {};
}

void define(CLI::App& app, CommandLine& c) {
    Settings& s = c.settings;
    app.footer(
        "Text output: one line a file, \"PATH: CANDIDATES  DESCRIPTION  [DETAIL]\"; with --fix one line a rename, "
        "\"OLD -> NEW\". Names are written as `ls -b` writes them: a backslash before each space and backslash, "
        "\\n \\t \\r and the like for line ends and tabs, and \\ooo (octal) for other control bytes and for bytes "
        "that are not text; so the first \": \" or \" -> \" on a line ends the name. Texts taken from files "
        "(descriptions, details) are escaped the same way, spaces aside. CSV and JSON keep the names as they are; "
        "JSON adds path_bytes (hex) for a name that is not UTF-8, and with --fix renamed_to or rename_error.\n"
        "Exit status: 0 when every file was read, 1 when some could not be read (or a rename, the journal or the "
        "output failed), 2 for a usage error.\n"
        "Examples:\n"
        "  oxtarn-cli photo.dat                    what is this file?\n"
        "  oxtarn-cli -r --format json downloads/  every file below a folder, as JSON Lines\n"
        "  oxtarn-cli -r --fix --journal j.log .   rename misnamed files, keeping a journal\n"
        "  oxtarn-cli --undo j.log                 put those names back");
    app.add_option("paths", s.paths, "Files (and, with -r, folders) to identify; - reads a list from standard input");
    app.add_flag("-r,--recursive", s.inputs.recursive, "Identify every file below the folders given");
    app.add_flag("-L,--follow-symlinks", s.inputs.follow_symlinks,
                 "Follow symbolic links while walking folders (a folder is never entered twice)");
    app.add_option("--files-from", s.files_from,
                   "Read the paths to identify from FILE, one a line (- for standard input); a line longer than "
                   "the longest path is reported and skipped");
    app.add_flag("-0,--null", s.inputs.null_separated, "Lists of paths are separated by NUL bytes, not line ends");
    app.add_option("--sample", c.sample,
                   "Bytes read from the start of each file: 256 (default), 512, 1000, 2000, 3000, 6000, "
                   "or any whole number from 0 to 40000");
    c.mode_opt = app.add_option("--mode", c.mode, "Inspection: normal, macbinary, footer or special")
                     ->check(CLI::IsMember({"normal", "macbinary", "footer", "special"}));
    c.options_opt = app.add_option("--options", s.options,
                                   "Raw option bits, passed as they are: 1 MacBinary, 2 footer, 4 special, "
                                   "16 the current-formats layer first (instead of --mode and --legacy)")
                        ->excludes(c.mode_opt);
    app.add_flag("--legacy", c.legacy,
                 "The classic answers alone: the current-formats layer, asked first by default, is left out")
        ->excludes(c.options_opt);
    app.add_flag("--crc", s.crc, "Also print the CRC-16 and CRC-32 of each file");
    app.add_option("--format", c.format, "Output: text (default), json (JSON Lines) or csv")
        ->check(CLI::IsMember({"text", "json", "csv"}));
    app.add_option("--encoding", c.encoding, "Texts in text and csv output: utf-8 (default) or shift_jis")
        ->check(CLI::IsMember({"utf-8", "shift_jis"}));
    app.add_flag("--fix", s.fix,
                 "Rename each file whose extension is not among its candidates to the first candidate "
                 "(never replacing an existing file)");
    app.add_flag("-n,--dry-run", s.dry_run, "With --fix or --undo: show what would be renamed, rename nothing");
    app.add_option("--journal", s.journal,
                   "With --fix: record every rename in FILE, for --undo (a new file, or a journal of an earlier "
                   "--fix; each entry is on disk before its rename)");
    c.undo_opt = app.add_option("--undo", c.undo_journal,
                                "Put back the names that a --fix journal recorded (only files that are still "
                                "the ones renamed)");
    app.add_option("--describe", c.describe, "Print the description of an extension from the catalogue");
    app.add_option("--variant,--table", c.variant,
                   "With --describe: the description variant, 1 the primary table (default), 2 and more a "
                   "variant of the secondary table (--table is the older name)");
    app.add_flag("--list-extensions", c.list_extensions, "Print every extension the engine knows, one a line");
    app.add_flag("--current", c.current,
                 "With --list-extensions: the current-formats layer's kinds (their first extensions) instead");
    app.add_option("-j,--jobs", s.jobs, "Files identified at once (default: the number of cores)")
        ->check(CLI::Range(1u, 1024u));
    app.add_flag("-q,--quiet", s.quiet, "No progress line");
    app.set_version_flag("--version", version_text(), "Print the tool's and the engine's versions");
    app.add_flag("--man", c.manual, "Print this help as a manual page (roff)")->group("");
}

// Checks what goes together and fills in the settings; throws a usage error.
Command validate(CommandLine& c) {
    Settings& s = c.settings;
    if (std::string why = check_sample(c.sample); !why.empty()) throw CLI::ValidationError("--sample", why);
    s.sample = static_cast<std::int32_t>(std::stol(c.sample));
    if (!s.journal.empty() && !s.fix) throw CLI::ValidationError("--journal", "goes with --fix");
    if (s.dry_run && !s.fix && c.undo_opt->count() == 0)
        throw CLI::ValidationError("--dry-run", "goes with --fix or --undo");
    s.format = kFormats.at(c.format);
    s.charset = kCharsets.at(c.encoding);
    if (s.format == Format::kJson && s.charset == Charset::kShiftJis)
        throw CLI::ValidationError("--encoding", "JSON output is always UTF-8");
    if (c.mode_opt->count() > 0) s.options = kModes.at(c.mode);
    if (c.options_opt->count() == 0 && !c.legacy) s.options |= ZARVO_CURRENT;
    if (c.current && !c.list_extensions) throw CLI::ValidationError("--current", "goes with --list-extensions");

    if (c.manual) return Command::kManual;
    if (c.list_extensions) return Command::kListExtensions;
    if (!c.describe.empty()) return Command::kDescribe;
    if (c.undo_opt->count() > 0) return Command::kUndo;
    if (s.paths.empty() && s.files_from.empty()) throw CLI::ValidationError("no files given (see --help)");
    return Command::kIdentify;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Tells what kind of file a file really is from its bytes, whatever its name says, "
                 "and renames misnamed files to the extension they ought to carry.",
                 "oxtarn-cli"};
    CommandLine c;
    c.settings.jobs = std::max(1u, std::thread::hardware_concurrency());
    define(app, c);
    Command command;
    try {
        app.parse(argc, argv);
        command = validate(c);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }

    switch (command) {
        case Command::kManual: std::cout << manual_page(app); return std::cout.flush() ? 0 : 1;
        case Command::kListExtensions: return run_list_extensions(c.current);
        case Command::kDescribe: return run_describe(c.describe, c.variant);
        case Command::kUndo: return run_undo(c.undo_journal, c.settings.dry_run);
        case Command::kIdentify: break;
    }
    return run_identify(c.settings);
}
