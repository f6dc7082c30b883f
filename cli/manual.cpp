#include "manual.hpp"

#include <sstream>

#include "version.hpp"

namespace oxtarn::cli {

namespace {
// Escapes text for roff: backslashes, and a leading dot or quote.
std::string roff(const std::string& text) {
    std::string out;
    bool line_start = true;
    for (char c : text) {
        if (line_start && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        line_start = c == '\n';
    }
    return out;
}
}  // namespace

std::string manual_page(const CLI::App& app) {
    std::ostringstream m;
    m << ".TH OXTARN-CLI 1\n.SH NAME\noxtarn\\-cli \\- identify files from their content\n"
      << ".SH SYNOPSIS\n.B oxtarn\\-cli\n[\\fIOPTIONS\\fR] [\\fIPATH\\fR...]\n"
      << ".SH DESCRIPTION\n" << roff(app.get_description()) << "\n.SH OPTIONS\n";
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_group().empty() || opt->get_name() == "--help") continue;
        m << ".TP\n.B " << roff(opt->get_name(false, true)) << "\n" << roff(opt->get_description()) << "\n";
    }
    std::string footer = app.get_footer();
    m << ".SH NOTES\n.nf\n" << roff(footer) << "\n.fi\n";
    return m.str();
}

std::string version_text() {
    // The engine's number in hundredths: 121 is 1.21, 120 is 1.2.
    const int v = zarvo::kEngineVersion;
    std::string cents = std::to_string(100 + v % 100).substr(1);
    while (!cents.empty() && cents.back() == '0') cents.pop_back();
    return "oxtarn-cli " OXTARN_VERSION "\nZarvo32 engine " + std::to_string(v / 100) + (cents.empty() ? "" : "." + cents);
}

}  // namespace oxtarn::cli
