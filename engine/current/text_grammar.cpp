// The text group's structured kinds, told by their grammar in the head's
// ASCII view (a cut end is forgiven where the head is not the whole file).
#include <array>
#include <cstdint>

#include "current/text_kinds.hpp"
#include "current/text_lines.hpp"

namespace zarvo::current::textkind {

namespace {

// ---- JSON ------------------------------------------------------------------

// A JSON reader that only checks the grammar. `end` says the view ended
// inside a value (a cut head).
class Json {
public:
    explicit Json(std::string_view s) : s_(s) {}
    enum Result { kBad, kDone, kEnd };
    // One value from position `at`; on kDone, `at` is just past it.
    Result value(std::size_t& at, int depth = 0) {
        if (depth > 64) return kBad;
        ws(at);
        if (at >= s_.size()) return kEnd;
        char c = s_[at];
        if (c == '{' || c == '[') {
            char close = c == '{' ? '}' : ']';
            ++at;
            ws(at);
            if (at >= s_.size()) return kEnd;
            if (s_[at] == close) return ++at, kDone;
            for (;;) {
                if (c == '{') {
                    ws(at);
                    if (at >= s_.size()) return kEnd;
                    if (s_[at] != '"') return kBad;
                    std::size_t key = at;
                    Result r = string(at);
                    if (r != kDone) return r;
                    note_key(s_.substr(key, at - key), depth);
                    ws(at);
                    if (at >= s_.size()) return kEnd;
                    if (s_[at] != ':') return kBad;
                    ++at;
                }
                std::size_t start = at;
                Result r = value(at, depth + 1);
                if (r != kDone) return r;
                if (want_type_ && depth == 0 && c == '{') note_type(trim(s_.substr(start, at - start)));
                want_type_ = false;
                ws(at);
                if (at >= s_.size()) return kEnd;
                if (s_[at] == ',') { ++at; continue; }
                if (s_[at] == close) return ++at, kDone;
                return kBad;
            }
        }
        if (c == '"') return string(at);
        if (c == '-' || is_digit(c)) return number(at);
        for (std::string_view word : {std::string_view("true"), std::string_view("false"), std::string_view("null")}) {
            std::string_view have = s_.substr(at, word.size());
            if (have == word) return at += word.size(), kDone;
            if (at + have.size() == s_.size() && word.substr(0, have.size()) == have) return kEnd;
        }
        return kBad;
    }
    void ws(std::size_t& at) const {
        while (at < s_.size() && (s_[at] == ' ' || s_[at] == '\t' || s_[at] == '\n' || s_[at] == '\r')) ++at;
    }
    bool geo() const { return geo_; }

private:
    Result string(std::size_t& at) {
        for (++at; at < s_.size(); ++at) {
            unsigned char c = static_cast<unsigned char>(s_[at]);
            if (c == '"') return ++at, kDone;
            if (c < 0x20) return kBad;
            if (c == '\\' && ++at >= s_.size()) return kEnd;
        }
        return kEnd;
    }
    Result number(std::size_t& at) {
        std::size_t start = at;
        while (at < s_.size() && (is_digit(s_[at]) || s_[at] == '-' || s_[at] == '+' || s_[at] == '.' ||
                                  s_[at] == 'e' || s_[at] == 'E'))
            ++at;
        if (at == s_.size()) return kEnd;
        return at > start && is_digit(s_[at - 1]) ? kDone : kBad;
    }
    void note_key(std::string_view key, int depth) { want_type_ = depth == 0 && key == "\"type\""; }
    void note_type(std::string_view v) {
        geo_ = geo_ || v == "\"FeatureCollection\"" || v == "\"Feature\"";
    }

    std::string_view s_;
    bool want_type_ = false;
    bool geo_ = false;
};

Verdict json(std::string_view s, bool cut) {
    Json j(s);
    std::size_t at = 0;
    Json::Result r = j.value(at);
    if (r == Json::kBad || (r == Json::kEnd && !cut)) return {};
    if (r == Json::kEnd) return {j.geo() ? "geojson,json" : "json", 85};
    // Lines of values: one value a line, at least two of them.
    std::size_t values = 1;
    bool lines = true;
    for (;;) {
        std::size_t before = at;
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\r')) ++at;
        if (at >= s.size()) break;
        if (s[at] != '\n') { lines = false; break; }
        j.ws(at);
        if (at >= s.size()) break;
        (void)before;
        Json::Result next = j.value(at);
        if (next == Json::kEnd && cut) break;
        if (next != Json::kDone) { lines = false; break; }
        ++values;
    }
    if (values >= 2 && lines) return {"jsonl,ndjson", 90};
    j.ws(at);
    if (values == 1 && at >= s.size()) return {j.geo() ? "geojson,json" : "json", 95};
    return {};
}

// ---- markup ------------------------------------------------------------------

// The name of an element or doctype from position `at` (letters, digits, : _ - .).
std::string_view name_at(std::string_view s, std::size_t at) {
    std::size_t e = at;
    while (e < s.size() && (is_word(s[e]) || s[e] == ':' || s[e] == '-' || s[e] == '.')) ++e;
    return s.substr(at, e - at);
}

bool ieq(std::string_view a, std::string_view b) { return a.size() == b.size() && istarts(a, b); }

Verdict markup(std::string_view s, bool cut) {
    std::size_t at = 0;
    bool declared = false;
    std::string_view doctype;
    // Declarations, processing instructions, comments and white space.
    for (int step = 0; step < 64; ++step) {
        while (at < s.size() && is_space(s[at])) ++at;
        if (at >= s.size()) return {};
        std::string_view rest = s.substr(at);
        if (starts(rest, "<?")) {
            declared = declared || istarts(rest, "<?xml");
            std::size_t e = s.find("?>", at);
            if (e == std::string_view::npos) return {};
            at = e + 2;
        } else if (starts(rest, "<!--")) {
            std::size_t e = s.find("-->", at + 4);
            if (e == std::string_view::npos) return {};
            at = e + 3;
        } else if (istarts(rest, "<!DOCTYPE")) {
            std::size_t p = at + 9;
            while (p < s.size() && is_space(s[p])) ++p;
            doctype = name_at(s, p);
            std::size_t e = s.find('>', at);
            // An internal subset [ ... ] holds '>' of its own.
            std::size_t br = s.find('[', at);
            if (br != std::string_view::npos && br < e) e = s.find("]>", br), e = e == std::string_view::npos ? e : e + 1;
            if (e == std::string_view::npos) return {};
            if (ieq(doctype, "html")) {
                std::string_view decl = s.substr(at, e - at);
                return {has(decl, "XHTML") ? "html,xhtml" : "html,htm", 95};
            }
            if (has(s.substr(at, e - at), "DocBook")) return {"docbook,xml", 90};
            at = e + 1;
        } else {
            break;
        }
    }
    if (s[at] != '<') return {};
    std::string_view root = name_at(s, at + 1);
    if (root.empty()) return {};
    std::size_t tag_end = s.find('>', at);
    if (tag_end == std::string_view::npos && !cut) return {};
    std::string_view tag = s.substr(at, tag_end == std::string_view::npos ? std::string_view::npos : tag_end - at);
    std::string_view local = root.substr(root.find(':') == std::string_view::npos ? 0 : root.find(':') + 1);
    struct RootKind { std::string_view name; std::string_view exts; };
    static constexpr std::array<RootKind, 11> kRoots{{
        {"svg", "svg"}, {"rss", "rss,xml"}, {"kml", "kml"}, {"gpx", "gpx"}, {"plist", "plist"},
        {"opml", "opml"}, {"schema", "xsd"}, {"stylesheet", "xsl,xslt"}, {"transform", "xsl,xslt"},
        {"RDF", "rdf,xml"}, {"package", "opf,xml"}}};
    for (const RootKind& k : kRoots)
        if (local == k.name) {
            if (k.name == "schema" && !has(tag, "XMLSchema")) break;
            if ((k.name == "stylesheet" || k.name == "transform") && !has(tag, "XSL/Transform")) break;
            if (k.name == "package" && !has(tag, "idpf.org")) break;
            return {k.exts, 95};
        }
    if (local == "feed" && has(tag, "Atom")) return {"atom,xml", 95};
    if (ieq(root, "html")) return {declared ? "xhtml,html" : has(tag, "xhtml") ? "html,xhtml" : "html,htm", 95};
    if (ieq(root, "head") || ieq(root, "body")) return {"html,htm", 80};
    if (root == "template" && (has(s, "<script") || has(s, "<style"))) return {"vue", 85};
    if ((root == "book" || root == "article" || root == "chapter") && has(tag, "docbook")) return {"docbook,xml", 90};
    if (root == "manifest" && has(tag, "schemas.android.com")) return {"xml", 90};
    if (root == "project" && has(tag, "maven.apache.org")) return {"xml,pom", 90};
    if (root == "Project" && (has(tag, "Sdk=") || has(tag, "msbuild"))) return {"csproj,vbproj,fsproj,props,targets", 85};
    if (declared) return {"xml", 90};
    // An element with a namespace, or a closing tag of the root: XML.
    if (has(tag, "xmlns")) return {"xml", 85};
    return {};
}

// ---- line formats -------------------------------------------------------------

bool is_key(std::string_view k, bool dots) {
    if (k.empty()) return false;
    for (char c : k)
        if (!(is_word(c) || c == '-' || (dots && c == '.'))) return false;
    return true;
}

// "00:00:01,000 --> 00:00:02,500" and its WebVTT form with a dot.
bool cue_time(std::string_view line) {
    std::size_t arrow = line.find(" --> ");
    if (arrow == std::string_view::npos || arrow < 8) return false;
    std::string_view t = line.substr(0, arrow);
    return is_digit(t[0]) && t.find(':') != std::string_view::npos && (has(t, ",") || has(t, "."));
}

Verdict pem(std::string_view first) {
    struct Block { std::string_view label; std::string_view exts; };
    static constexpr std::array<Block, 12> kBlocks{{
        {"CERTIFICATE REQUEST", "csr,pem"}, {"NEW CERTIFICATE REQUEST", "csr,pem"},
        {"CERTIFICATE", "pem,crt,cer"}, {"TRUSTED CERTIFICATE", "pem,crt"}, {"X509 CRL", "crl,pem"},
        {"OPENSSH PRIVATE KEY", "key"}, {"PUBLIC KEY", "pem,pub"}, {"PGP PUBLIC KEY BLOCK", "asc,gpg"},
        {"PGP SIGNATURE", "asc,sig"}, {"PGP MESSAGE", "asc,gpg"}, {"PGP PRIVATE KEY BLOCK", "asc,gpg"},
        {"DH PARAMETERS", "pem"}}};
    std::string_view label = first.substr(11);
    std::size_t e = label.find("-----");
    if (e == std::string_view::npos) return {};
    label = label.substr(0, e);
    for (const Block& b : kBlocks)
        if (label == b.label) return {b.exts, 95};
    if (label.size() > 11 && label.substr(label.size() - 11) == "PRIVATE KEY") return {"pem,key", 95};
    if (label.size() > 10 && label.substr(label.size() - 10) == "PUBLIC KEY") return {"pem,pub", 95};
    return {"pem", 80};
}

bool ssh_public(std::string_view line) {
    for (std::string_view p : {"ssh-rsa AAAA", "ssh-ed25519 AAAA", "ssh-dss AAAA", "ecdsa-sha2-nistp", "sk-ssh-ed25519@"})
        if (starts(line, p)) return true;
    return false;
}

// A mail header line: "Name: value" with a capitalised hyphenated name.
bool header_line(std::string_view line) {
    std::size_t c = line.find(':');
    if (c == std::string_view::npos || c == 0 || c > 40 || !(line[0] >= 'A' && line[0] <= 'Z')) return false;
    for (char ch : line.substr(0, c))
        if (!(is_alpha(ch) || is_digit(ch) || ch == '-')) return false;
    return c + 1 == line.size() || line[c + 1] == ' ';
}

bool sql_line(std::string_view t) {
    static constexpr std::string_view kWords[] = {"CREATE TABLE", "CREATE INDEX", "CREATE VIEW", "CREATE UNIQUE", "CREATE OR REPLACE", "CREATE SCHEMA",
                               "INSERT INTO", "DROP TABLE", "ALTER TABLE", "SELECT ", "UPDATE ", "DELETE FROM", "BEGIN TRANSACTION",
                               "CREATE FUNCTION", "CREATE TRIGGER", "CREATE DATABASE", "CREATE SEQUENCE", "GRANT ", "PRAGMA "};
    if (t.empty()) return false;
    for (std::string_view w : kWords)
        if (!(lower(w[0]) != lower(t[0])) && istarts(t, w)) return true;
    return false;
}

// Builds that are known by the file name they carry.
bool docker_line(std::string_view t) {
    static constexpr std::string_view kWords[] = {"FROM ", "RUN ", "COPY ", "ADD ", "CMD ", "ENTRYPOINT ", "ENV ", "WORKDIR ", "EXPOSE ", "ARG ",
                               "LABEL ", "USER ", "VOLUME ", "MAINTAINER "};
    if (t.empty()) return false;
    for (std::string_view w : kWords)
        if (!(w[0] != t[0]) && starts(t, w)) return true;
    return false;
}
bool cmake_line(std::string_view t) {
    static constexpr std::string_view kWords[] = {"cmake_minimum_required(", "project(", "add_executable(", "add_library(", "target_link_libraries(",
                               "add_subdirectory(", "find_package(", "set(", "include_directories(", "target_include_directories(",
                               "install(", "option(", "if(", "endif()", "else()", "message(", "include(", "list(", "foreach(",
                               "endforeach()", "add_test(", "target_compile_definitions(", "configure_file("};
    if (t.empty()) return false;
    for (std::string_view w : kWords)
        if (!(lower(w[0]) != lower(t[0])) && istarts(t, w)) return true;
    return false;
}
bool meson_line(std::string_view t) {
    static constexpr std::string_view kWords[] = {"project(", "executable(", "library(", "shared_library(", "static_library(", "dependency(",
                               "subdir(", "install_headers(", "configure_file(", "declare_dependency(", "test(", "meson.",
                               "import(", "files(", "find_program(", "run_command(", "custom_target(", "if ", "endif",
                               "foreach ", "endforeach", "else", "elif "};
    if (t.empty()) return false;
    for (std::string_view w : kWords)
        if (!(w[0] != t[0]) && starts(t, w)) return true;
    // name = call(...) assignments
    std::size_t eq = t.find(" = ");
    return eq != std::string_view::npos && is_key(t.substr(0, eq), false) && has(t.substr(eq), "(");
}

// TOML values: strings, numbers, booleans, arrays, inline tables, dates.
bool toml_value(std::string_view v) {
    if (v.empty()) return false;
    char c = v[0];
    if (c == '"' || c == '\'' || c == '[' || c == '{') return true;
    if (v == "true" || v == "false") return true;
    if (is_digit(c) || c == '-' || c == '+') {
        for (char ch : v)
            if (!(is_digit(ch) || ch == '.' || ch == '_' || ch == '-' || ch == ':' || ch == '+' || ch == 'e' || ch == 'E' ||
                  ch == 'T' || ch == 'Z' || ch == 'x' || is_space(ch)))
                return false;
        return true;
    }
    return false;
}

// The field delimiter that most lines hold the same number of times, outside
// quotes; 0 when none does.
char delimiter(std::string_view v, bool cut) {
    static constexpr std::array<char, 4> kDelims{',', '\t', ';', '|'};
    for (char d : kDelims) {
        Lines lines(v);
        std::string_view line;
        int counts[24];
        int n = 0;
        bool quoted = false;
        int count = 0;
        while (n < 24 && lines.next(line)) {
            if (cut && lines.at_end()) break;  // a cut last line tells nothing
            for (char c : line) {
                if (c == '"') quoted = !quoted;
                else if (c == d && !quoted) ++count;
            }
            if (quoted) continue;  // a quoted field runs on to the next line
            if (!trim(line).empty() || count) counts[n++] = count;
            count = 0;
        }
        if (n < 2 || counts[0] == 0) continue;
        int same = 0;
        for (int i = 0; i < n; ++i) same += counts[i] == counts[0];
        if (same * 10 >= n * 9) return d;
    }
    return 0;
}

}  // namespace

Verdict grammar(std::string_view view, bool cut) {
    std::string_view s = trim_left(view);
    if (s.empty()) return {};
    if (s[0] == '<') {
        Verdict m = markup(s, cut);
        if (!m.exts.empty()) return m;
    }
    if (s[0] == '{' || s[0] == '[') {
        Verdict j = json(s, cut);
        if (!j.exts.empty()) return j;
    }
    Lines lines(s);
    std::string_view first;
    lines.next(first);
    first = trim(first);
    if (starts(first, "-----BEGIN ")) return pem(first);
    if (ssh_public(first)) return {"pub", 90, "ssh-pub"};  // "pub" is also a publishing document
    if (starts(first, "WEBVTT")) return {"vtt", 95};
    if (first == "[Script Info]") return {"ass,ssa", 95};
    if (starts(first, "BEGIN:VCALENDAR")) return {"ics", 95};
    if (starts(first, "diff --git ") || starts(first, "diff -")) return {"patch,diff", 90};
    if (starts(first, "\\documentclass") || starts(first, "\\input{") || starts(first, "\\usepackage")) return {"tex", 90};
    if (starts(first, "From ") && has(first, ":")) {
        std::string_view second;
        if (lines.next(second) && header_line(second)) return {"mbox", 85};
    }
    // srt: a number, then a time line
    bool digits = !first.empty();
    for (char c : first) digits = digits && is_digit(c);
    if (digits) {
        std::string_view second;
        Lines again(s);
        again.next(second);
        if (again.next(second) && cue_time(trim(second))) return {"srt", 95};
    }

    // Line by line.
    int n = 0, sections = 0, eq = 0, eq_dotted = 0, toml = 0, toml_strings = 0, colon = 0, list = 0, headers = 0;
    int md_head = 0, md_other = 0, rst = 0, adoc = 0, sql = 0, docker = 0, cmake = 0, meson = 0, make_rule = 0, make_var = 0, tab_lines = 0,
        tex = 0, bib = 0, diff = 0, comments = 0, codeish = 0, md_setext = 0, rst_own = 0, md_own = 0, pod = 0;
    bool blank_seen = false, headers_run = true, last_heading = false;
    std::string_view prev;
    Lines all(s);
    std::string_view line;
    while (n < 100 && all.next(line)) {
        if (cut && all.at_end() && n > 0) break;
        std::string_view t = trim(line);
        if (t.empty()) { blank_seen = true; headers_run = false; last_heading = false; prev = t; continue; }
        ++n;
        bool tab = line[0] == '\t';
        tab_lines += tab;
        char c = t[0];
        if (c == '#' || c == ';' || starts(t, "//")) {
            ++comments;
            // a heading stands after a blank line, a comment block goes on
            bool heading = (starts(t, "# ") || starts(t, "## ") || starts(t, "### ")) && prev.empty();
            if (heading) ++md_head;
            else if (c == '#' && last_heading) --md_head;  // it was a block of comments
            last_heading = heading;
        } else {
            last_heading = false;
        }
        if (headers_run && header_line(line)) ++headers;
        else if (headers_run && (line[0] == ' ' || tab) && headers > 0) {}
        else headers_run = false;
        if (c == '[' && t.back() == ']' && t.size() > 2) {
            ++sections;
            if (starts(t, "[[")) ++toml;
        }
        std::size_t e = t.find('=');
        if (e != std::string_view::npos && e > 0 && c != '#' && c != ';') {
            std::string_view k = trim(t.substr(0, e));
            std::string_view v = trim(t.substr(e + 1));
            if (is_key(k, false)) ++eq;
            else if (is_key(k, true)) ++eq_dotted;
            if (is_key(k, true) && toml_value(v)) ++toml, toml_strings += v[0] == '"' || v[0] == '\'';
            if (is_key(k, false) && has(v, "$(")) ++make_var;
            if ((k.size() > 1 && (k.back() == ':' || k.back() == '?' || k.back() == '+')) && is_key(k.substr(0, k.size() - 1), false)) ++make_var;
        }
        std::size_t col = t.find(':');
        if (col != std::string_view::npos && col > 0 && c != '#') {
            std::string_view k = t.substr(0, col);
            if (c == '-') k = trim(k.substr(1));
            if ((is_key(k, true) || (k.size() > 2 && (k[0] == '"' || k[0] == '\'') && k.back() == k[0])) &&
                (col + 1 == t.size() || t[col + 1] == ' '))
                ++colon;
            // make: "target: prerequisites" on a line of its own
            if (line[0] != ' ' && !tab && col + 1 < t.size() + 1 && (col + 1 == t.size() || t[col + 1] != '=') &&
                (is_key(t.substr(0, col), true) || starts(t, ".PHONY") || starts(t, "%.") || starts(t, "$(")))
                ++make_rule;
        }
        if (starts(t, "- ") || t == "-") ++list;
        // The marks the line holds, for the searches below.
        bool tick = false, bracket = false, star = false;
        for (char ch : t) tick |= ch == '`', bracket |= ch == ']', star |= ch == '*';
        bool link = bracket && has(t, "](");
        if (starts(t, "```") || link || starts(t, "* ") || starts(t, "> ") || (star && has(t, "**"))) ++md_other;
        if (starts(t, "```") || link || (c == '[' && has(t, "]: "))) ++md_own;
        if (!starts(t, "```") && (starts(t, ".. ") || (t.size() > 2 && t.substr(t.size() - 2) == "::") ||
                                  (tick && (has(t, "``") || has(t, ":`") || has(t, "`_")))))
            ++rst, ++rst_own;
        if (c == '=' && (starts(t, "=head") || starts(t, "=pod") || starts(t, "=cut") || starts(t, "=item") || starts(t, "=over") ||
                         starts(t, "=back") || starts(t, "=encoding") || starts(t, "=begin")))
            ++pod;
        if (t.back() == ';' || t.back() == '{' || t.back() == '}' || t.back() == ')' || has(t, " = ")) ++codeish;
        if (t.size() >= 3 && (c == '=' || c == '-' || c == '~' || c == '^' || c == '*') && t.find_first_not_of(c) == std::string_view::npos &&
            !trim(prev).empty()) {
            if (c == '=' || c == '-') ++md_setext;
            ++rst;
        }
        if (n == 1 && starts(t, "= ")) adoc += 2;
        if ((c == ':' && t.find(':', 1) != std::string_view::npos && t.find(':', 1) < 30) || starts(t, "[source") || starts(t, "== ")) ++adoc;
        if (sql_line(t)) ++sql;
        if (docker_line(line)) ++docker;
        if (cmake_line(t)) ++cmake;
        if (meson_line(t)) ++meson;
        if (c == '\\' && (starts(t, "\\section") || starts(t, "\\begin{") || starts(t, "\\chapter") || starts(t, "\\usepackage"))) ++tex;
        if (c == '@' && (istarts(t, "@article{") || istarts(t, "@book{") || istarts(t, "@inproceedings{") || istarts(t, "@misc{") ||
                         istarts(t, "@string{") || istarts(t, "@techreport{") || istarts(t, "@phdthesis{") || istarts(t, "@manual{")))
            ++bib;
        if (starts(line, "--- ") || starts(line, "+++ ") || starts(line, "@@ ") || starts(line, "Index: ")) ++diff;
        prev = t;
    }
    (void)blank_seen;
    if (n == 0) return {};
    int body = n - comments;
    if (diff >= 2 && has(s, "\n+++ ") && has(s, "\n@@ ")) return {"patch,diff", 90};
    if (diff >= 2 && starts(s, "--- ") && has(s, "\n+++ ")) return {"patch,diff", 90};
    if (headers >= 3 && (has(s, "\nSubject:") || starts(s, "Subject:")) && (has(s, "From:") || has(s, "Date:"))) return {"eml", 85};
    if (bib >= 1 && has(s, " = {") ) return {"bib", 85};
    if (tex >= 2) return {"tex", 85};
    if (docker >= 2 && (starts(s, "FROM ") || has(s, "\nFROM ")) && docker * 10 >= body * 7)
        return {"Dockerfile", 85};
    if (cmake >= 3 && (has(s, "cmake_minimum_required") || has(s, "project(")) && cmake * 2 >= body) return {"CMakeLists.txt", 85};
    if (meson >= 3 && has(s, "project(") && meson * 2 >= body && !has(s, ";")) return {"meson.build", 80};
    if (sql >= 2 && sql * 4 >= n / 2) return {"sql", 80};
    if (make_rule >= 1 && tab_lines >= 1 && (make_rule + make_var + tab_lines) * 10 >= body * 6) return {"Makefile,mk", 75};
    // Settings.
    if (sections >= 1 && toml > 0 && (toml_strings > 0 || toml >= eq + eq_dotted) && (sections + toml) * 10 >= body * 9 && toml >= eq)
        return {"toml", 80};
    if (sections >= 1 && eq + eq_dotted >= 1 && (sections + eq + eq_dotted) * 10 >= body * 9) return {"ini,cfg,conf", 75};
    if (eq_dotted >= 2 && (eq + eq_dotted) * 10 >= body * 9) return {"properties", 70};
    if (starts(s, "---") && (colon + list) * 10 >= body * 6) return {"yaml,yml", 85};
    if (colon + list >= 3 && colon >= 1 && (colon + list) * 10 >= body * 8 && headers * 2 < n) return {"yaml,yml", 70};
    char d = delimiter(s, cut);
    if (d) return {d == '\t' ? "tsv,tab" : "csv", d == ',' || d == '\t' ? 75 : 60};
    if (eq >= 3 && eq * 10 >= body * 9) return {"conf,cfg", 60};
    // Perl with its documentation, or the documentation alone.
    if (pod >= 2) return {has(s, "package ") || has(s, "use strict") || has(s, "\nsub ") ? "pl,pm" : "pod", 80};
    // Marked-up prose.
    bool prose_like = codeish * 3 < n;
    if (prose_like && rst_own >= 1 && rst >= 2 && rst_own >= md_own) return {"rst", 70};
    if (prose_like && adoc >= 3) return {"adoc,asciidoc", 65};
    if (prose_like && md_head + md_setext + md_other >= 3 && (md_own >= 1 || md_head >= 2)) return {"md,markdown", 70};
    return {};
}

}  // namespace zarvo::current::textkind
