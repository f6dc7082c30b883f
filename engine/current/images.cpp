// The current-formats layer: image kinds.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& images_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
