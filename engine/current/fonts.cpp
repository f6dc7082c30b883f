// The current-formats layer: fonts.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& fonts_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
