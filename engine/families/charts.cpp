// Music-game charts.
#include <string>

#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

namespace {

// Row 1: the chart title, the text after "#TITLE " up to the line end, from
// the first #TITLE at or after character 65. Without such a tag the detail
// text stays as it was; without a line end after it the title is empty.
void chart_title(const HexImage& img, Context& ctx) {
    long t = img.find("235449544C45", 65);
    if (t < 0) return;
    long e = img.find("0D0A", t + 14);
    ctx.detail = decoded_between(img, t + 14, e);
}

}  // namespace

const Table& charts_table() {
    static const Table rows = {
        // row  tests                                                       answer     side effects
        {"1", {at(0, "0D0A2A2D")},                                          "bms,bme", {chart_title}},
        {"2", {at(0, "2346494C453A"), found_from("235449544C453A", 12)},    "msd"},
        {"3", {found_from("49443D", 0), found_from("5449544C453D", 4),
               found_from("4152544953543D", 12)},                           "sul"},
        {"4", {at(0, "235449544C45"), found_from("2345444954", 10),
               found_from("2353494E474C45", 14)},                           "ddr"},
        {"5", {at(0, "55434C")},                                            "ucl"},
        {"6", {at(0, "55464C")},                                            "ufl"},
        {"7", {at(0, "55534C")},                                            "usl"},
        {"8", {at(0, "474D432E57494E2E")},                                  "gmc"},
    };
    return rows;
}

}  // namespace zarvo::families
