// Markup, mail and web text.
#include <climits>

#include "families.hpp"
#include "rules.hpp"
#include "text.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

constexpr std::string_view kCompound = "D0CF11E0A1B11AE1";  // compound document signature
constexpr std::string_view kRoot = "52006F006F007400";      // UTF-16 Root

// The first occurrence of the lower-case tag, or, when it is absent, of the
// upper-case one; -1 when neither occurs.
long first_tag(const HexImage& img, std::string_view lower, std::string_view upper) {
    long p = img.find(lower);
    return p >= 0 ? p : img.find(upper);
}

// Row 1: the page title, the text between <title> and </title> (either
// case), becomes the detail text. Without both tags the detail text stays
// as it was; a closing tag before the end of the opening one gives an empty
// title.
void html_title(const HexImage& img, Context& ctx) {
    long open = first_tag(img, "3C7469746C653E", "3C5449544C453E");       // <title>, <TITLE>
    long close = first_tag(img, "3C2F7469746C653E", "3C2F5449544C453E");  // </title>, </TITLE>
    if (open < 0 || close < 0) return;
    ctx.detail = decoded_between(img, open + 14, close);
}

}  // namespace

const Table& markup_table() {
    static const Table rows = {
        // row  tests                                                     answer        side effects
        {"1",  {any({first_within("3C48544D4C3E", 0, 99),                 // <HTML>
                     first_within("3C68746D6C3E", 0, 99)})},              // <html>
                "htm,html,rtx", {html_title}},
        {"2",  {at(0, "3C3F786D6C")}, "xml", {},                          // <?xml
                {{"2h", {first_within("3C68656C707365742076657273696F6E", 33, LONG_MAX)}, "hs"}}},
        {"3",  {at_one_of(0, {"52657475726E2D506174683A",                 // Return-Path:
                              "3E46726F6D2062696E",                       // >From bin
                              "44656C6976657265642D546F3A",               // Delivered-To:
                              "52656365697665643A"})},                    // Received:
                "eml"},
        {"4",  {at_one_of(0, {"46726F6D3A2022", "5265706C792D546F3A2022"})}, "nsw"},
        {"5",  {at(0, "46726F6D3A203C4D6963726F736F6674")},               "mht,mhtml"},
        {"6",  {at(0, "3C48444D4C20")},                                   "hdml"},
        {"7",  {at(0, "424547494E3A5643415244")},                         "vcf"},
        {"8",  {at(0, "9CCBCB8D1375D211915800C04F7956A4")},               "wab"},
        {"9",  {at(0, kCompound), at(512, kRoot),
                at(640, "5F005F00700072006F00700065007200"),              // __proper
                at(768, "5F005F006E0061006D00650069006400")},             // __nameid
                "oft"},
        {"10", {at(0, "2142444E")},                                       "pst"},
        {"11", {at(0, "BDF50E0000000000")},                               "rwz", {detail("Outlook 2000")}},
        {"12", {at(0, "40420F0040420F03")},                               "rwz", {detail("Outlook 2002")}},
        {"13", {at(0, "0D0A5B5368656C6C5D0D0A")},                         "scf"},
        {"14", {at(0, kCompound), at(1024, kRoot),
                at(1152, "56006900730069006F0044006F006300")},            // VisioDoc
                "vsd,vss,vst"},
        {"15", {at(0, "DDFFFFFFF11F98A113B712C50100")},                   "vep"},
        // row 16: none of the above, empty text
    };
    return rows;
}

}  // namespace zarvo::families
