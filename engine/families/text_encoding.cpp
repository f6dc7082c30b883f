// Text encodings: binary data carried as text, told by the words that open
// the file. Every test looks at the start of the image; none sets the
// description variant or the detail text.
#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

const Table& text_encoding_table() {
    static const Table rows = {
    // row tests                                                                   answer
    {"1", {at(0, "3C3C3C")},                                                       "ish"},             // <<<
    {"2", {at(0, "626567696E20363434")},                                           "uue,uu,xxe,xx"},   // begin 644
    {"3", {at(0, "5555456E636F6465")},                                             "uue,uu"},          // UUEncode
    {"4", {at(0, "5858456E636F6465")},                                             "xxe,xx"},          // XXEncode
    {"5", {any({at(0, "4D6573736167652D4944"), at(0, "626567696E2D626173653634")})}, "b64"},           // Message-ID, begin-base64
    {"6", {at(0, "4D494D45")},                                                     "mme,mim,mht"},     // MIME
    {"7", {at(0, "574072655A697020")},                                             "wzp"},             // W@reZip
    };
    return rows;
}

}  // namespace zarvo::families
