// The current-formats layer: documents and books.
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

// Leading bytes a PDF may carry before its header.
constexpr std::size_t kPdfJunk = 1024;

// "%PDF-d.d" at `at` of the head: the version, or "".
std::string pdf_version(std::string_view h, std::size_t at) {
    if (!bytes::at(h, at, "%PDF-") || !bytes::has(h, at, 8)) return {};
    char major = h[at + 5], dot = h[at + 6], minor = h[at + 7];
    if (major < '1' || major > '2' || dot != '.' || minor < '0' || minor > '9') return {};
    return std::string{major, dot, minor};
}

std::string pdf_at_start(const HexImage&, Context& ctx) {
    std::string version = pdf_version(probe_of(ctx).head(), 0);
    if (version.empty()) return {};
    ctx.detail = "PDF " + version;
    return "pdf";
}

// A header after leading junk counts when the file also ends as a PDF does.
std::string pdf_after_junk(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head().substr(0, kPdfJunk + 8);
    std::size_t at = h.find("%PDF-", 1);
    if (at == std::string_view::npos || at > kPdfJunk) return {};
    std::string version = pdf_version(h, at);
    if (version.empty() || probe.tail(1024).find("%%EOF") == std::string_view::npos) return {};
    ctx.detail = "PDF " + version + ", header at byte " + std::to_string(at);
    return "pdf";
}

// PostScript: "%!PS" first; an encapsulated one (EPSF on the first line) is
// left to the classic tables, and so is a font.
std::string postscript(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::string_view line = h.substr(0, std::min<std::size_t>(h.find_first_of("\r\n"), 80));
    // Encapsulated pictures and Type 1 fonts written as PostScript are no documents.
    if (line.find("EPSF") != std::string_view::npos || line.substr(0, 14) == "%!PS-AdobeFont") return {};
    if (line.substr(0, 11) == "%!PS-Adobe-") ctx.detail = "PostScript, conventions " + std::string(line.substr(11, 3));
    return "ps";
}

}  // namespace

const Table& documents_table() {
    static const Table rows = {
        {"1", {at(0, "255044462D")}, pdf_at_start},
        {"2", {at(0, "25215053")}, postscript},
        {"3", {at(0, "41542654464F524D"), at_one_of(12, {"444A5655", "444A564D"})}, "djvu,djv",
         {detail([](const HexImage& img, Context&) -> std::string {
             return img.at(12, "444A564D") ? "multi-page" : "single page";
         })}},
        {"4", {at(0, "49545346"), at(4, "03000000")}, "chm", {detail("Compiled HTML Help")}},
        // Palm database books: the type and creator at 60.
        {"5", {text_at(60, "BOOKMOBI")}, "mobi,azw,azw3,prc", {detail("Mobipocket")}},
        {"6", {when([](const HexImage&, const Context& ctx) {
             std::string_view h = probe_of(ctx).head();
             return h.size() > 8 && h.substr(1, kPdfJunk + 7).find("%PDF-") != std::string_view::npos;
         })},
         pdf_after_junk},
    };
    return rows;
}

}  // namespace zarvo::current
