// The current-formats layer: text kinds: encoding, grammar, scripts, source code, prose.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& text_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
