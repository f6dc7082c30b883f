// The current-formats layer: archives and compressors.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& archives_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
