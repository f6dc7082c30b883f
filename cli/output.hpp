// Where the tool's answers and messages go: standard output, whose write
// errors end the run, and standard error, whose progress line is cleared
// before any message. The output format is chosen once, as a Printer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "identify.hpp"
#include "settings.hpp"

namespace oxtarn::cli {

// Standard output. The first failed write is kept; the run then stops.
class Output {
public:
    Output();
    void write(std::string_view bytes);
    // Passes on what is buffered (while the run waits for its inputs).
    void flush();
    // Flushes; false when any write failed (the reason in error()).
    bool finish();
    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }

private:
    bool failed_ = false;
    std::string error_;
};

// Standard error: messages, and a progress line on a terminal once a run
// has taken longer than a moment.
class Terminal {
public:
    explicit Terminal(bool progress);
    ~Terminal();
    // "oxtarn-cli: <message>", on a line of its own.
    void error(const std::string& message);
    void progress(std::size_t done);

private:
    void clear();
    bool enabled_;
    bool shown_ = false;
    std::int64_t start_ms_, last_ms_ = 0;
};

// What the tool learnt of one file (texts still in Shift-JIS), and what
// became of its rename.
struct Outcome {
    std::string path;
    std::string error;  // non-empty: the file could not be read
    zarvo::Result result;
    std::uint16_t crc16 = 0;
    std::uint32_t crc32 = 0;
    std::optional<std::string> renamed_to;  // with --dry-run: the name it would get
    std::string rename_error;
};

class Printer {
public:
    virtual ~Printer() = default;
    virtual void begin() {}
    virtual void record(const Outcome& o) = 0;
};

std::unique_ptr<Printer> make_printer(const Settings& s, Output& out);

// "from -> to", the names escaped, for rename and undo lines.
std::string rename_line(const std::string& from, const std::string& to, bool dry_run, Charset charset);

// A name as messages on standard error write it.
std::string shown(const std::string& path);

}  // namespace oxtarn::cli
