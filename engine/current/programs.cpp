// The current-formats layer: executables and bytecode.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& programs_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
