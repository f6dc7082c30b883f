// The current-formats layer: data and science files.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& data_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
