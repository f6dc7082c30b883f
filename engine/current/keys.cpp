// The current-formats layer: keys and certificates.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& keys_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
