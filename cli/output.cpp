#include "output.hpp"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <vector>

#include "path_parts.hpp"
#include "rename.hpp"
#include "sjis.hpp"
#include "system.hpp"
#include "text.hpp"

namespace oxtarn::cli {

// ---- standard output and standard error

Output::Output() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); }

void Output::write(std::string_view bytes) {
    if (failed_) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::ferror(stdout)) {
        failed_ = true;
        error_ = errno ? std::strerror(errno) : "write error";
    }
}

void Output::flush() {
    if (!failed_ && std::fflush(stdout) != 0) {
        failed_ = true;
        error_ = std::strerror(errno);
    }
}

bool Output::finish() {
    if (!failed_) {
        errno = 0;
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            failed_ = true;
            error_ = errno ? std::strerror(errno) : "write error";
        }
    }
    return !failed_;
}

namespace {
std::int64_t now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

Terminal::Terminal(bool progress) : enabled_(progress && stderr_is_terminal()), start_ms_(now_ms()) {}

Terminal::~Terminal() { clear(); }

void Terminal::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    shown_ = false;
}

void Terminal::error(const std::string& message) {
    clear();
    std::string line = "oxtarn-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void Terminal::progress(std::size_t done) {
    if (!enabled_) return;
    std::int64_t now = now_ms();
    if (now - start_ms_ < 700 || now - last_ms_ < 100) return;
    last_ms_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r%zu files", done);
    std::fflush(stderr);
}

std::string shown(const std::string& path) { return escaped_name(system_to_utf8(path)); }

std::string rename_line(const std::string& from, const std::string& to, bool dry_run, Charset charset) {
    auto name = [&](const std::string& p) {
        return escaped_name(charset == Charset::kShiftJis ? p : system_to_utf8(p), charset);
    };
    return name(from) + " -> " + name(to) + (dry_run ? " (dry run)\n" : "\n");
}

// ---- the three formats

namespace {

std::string hex(std::uint32_t value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}

// Line breaks in a detail text become "; ", so that a detail stays one line.
std::string one_line(std::string_view t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
        if (t[i] == '\r' || t[i] == '\n') out += "; ";
        else out += t[i];
    }
    return out;
}

class TextPrinter : public Printer {
public:
    TextPrinter(const Settings& s, Output& out) : s_(s), out_(out) {}

    void record(const Outcome& o) override {
        if (s_.fix) {  // with --fix, the renames alone
            if (o.renamed_to) out_.write(rename_line(o.path, *o.renamed_to, s_.dry_run, s_.charset));
            return;
        }
        if (!o.error.empty()) return;  // reported on standard error
        std::string& line = line_;     // kept from file to file, so that it is allocated once
        line.clear();
        append_escaped(line, s_.charset == Charset::kShiftJis ? o.path : system_to_utf8(o.path), s_.charset, true);
        line += ": ";
        add_text(line, o.result.extensions);
        if (!o.result.description.empty()) {
            line += "  ";
            add_text(line, o.result.description);
        }
        if (!o.result.detail.empty()) {
            line += "  [";
            add_text(line, one_line(o.result.detail));
            line += "]";
        }
        if (s_.crc) line += "  crc16=" + hex(o.crc16, 4) + " crc32=" + hex(o.crc32, 8);
        line += '\n';
        out_.write(line);  // one write a file
    }

private:
    // An engine text in the chosen encoding, its control bytes escaped.
    void add_text(std::string& line, std::string_view sjis) {
        if (s_.charset == Charset::kShiftJis) {
            append_escaped(line, sjis, Charset::kShiftJis, false);
        } else {
            utf8_.clear();
            zarvo::sjis::append_utf8(utf8_, sjis);
            append_escaped(line, utf8_, Charset::kUtf8, false);
        }
    }

    const Settings& s_;
    Output& out_;
    std::string line_, utf8_;
};

class JsonPrinter : public Printer {
public:
    JsonPrinter(const Settings& s, Output& out) : s_(s), out_(out) {}

    void record(const Outcome& o) override {
        nlohmann::ordered_json j;
        std::string path = system_to_utf8(o.path);
        j["path"] = path;
        // A name that is not text cannot be told apart once its bad bytes
        // are replaced: its bytes, so that a reader finds the file.
        if (!is_utf8(path)) j["path_bytes"] = zarvo::text::to_hex(o.path);
        j["extension"] = system_to_utf8(zarvo::path_part(o.path, zarvo::kExtension));
        if (!o.error.empty()) {
            j["error"] = system_to_utf8(o.error);
        } else {
            j["candidates"] = split_candidates(zarvo::sjis::to_utf8(o.result.extensions));
            j["description"] = zarvo::sjis::to_utf8(o.result.description);
            j["detail"] = zarvo::sjis::to_utf8(o.result.detail);
            if (s_.crc) {
                j["crc16"] = hex(o.crc16, 4);
                j["crc32"] = hex(o.crc32, 8);
            }
        }
        if (o.renamed_to) {
            j["renamed_to"] = system_to_utf8(*o.renamed_to);
            if (s_.dry_run) j["dry_run"] = true;
        }
        if (!o.rename_error.empty()) j["rename_error"] = system_to_utf8(o.rename_error);
        out_.write(j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    }

private:
    const Settings& s_;
    Output& out_;
};

class CsvPrinter : public Printer {
public:
    CsvPrinter(const Settings& s, Output& out) : s_(s), out_(out) {}

    void begin() override {
        std::string head = "path,extension,candidates,description,detail";
        if (s_.crc) head += ",crc16,crc32";
        if (s_.fix) head += ",renamed_to,rename_error";
        out_.write(head + ",error\n");
    }

    void record(const Outcome& o) override {
        bool ok = o.error.empty();
        std::string line = field(system(o.path)) + "," + field(system(zarvo::path_part(o.path, zarvo::kExtension))) +
                           "," + field(ok ? text(o.result.extensions) : "") + "," +
                           field(ok ? text(o.result.description) : "") + "," + field(ok ? text(o.result.detail) : "");
        if (s_.crc) line += "," + (ok ? hex(o.crc16, 4) : "") + "," + (ok ? hex(o.crc32, 8) : "");
        if (s_.fix) line += "," + field(o.renamed_to ? system(*o.renamed_to) : "") + "," + field(system(o.rename_error));
        out_.write(line + "," + field(system(o.error)) + "\n");
    }

private:
    static std::string field(const std::string& v) {
        if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
        std::string out = "\"";
        for (char c : v) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    }
    std::string text(const std::string& sjis) const {
        return s_.charset == Charset::kShiftJis ? sjis : zarvo::sjis::to_utf8(sjis);
    }
    // Paths and error texts as the system gave them (on Windows in its ANSI
    // code page), or UTF-8.
    std::string system(const std::string& t) const {
        return s_.charset == Charset::kShiftJis ? t : system_to_utf8(t);
    }

    const Settings& s_;
    Output& out_;
};

}  // namespace

std::unique_ptr<Printer> make_printer(const Settings& s, Output& out) {
    switch (s.format) {
        case Format::kJson: return std::make_unique<JsonPrinter>(s, out);
        case Format::kCsv: return std::make_unique<CsvPrinter>(s, out);
        case Format::kText: break;
    }
    return std::make_unique<TextPrinter>(s, out);
}

}  // namespace oxtarn::cli
