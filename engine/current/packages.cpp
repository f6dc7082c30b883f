// The current-formats layer: ZIP-based documents and packages by their entries; OLE compound documents by their streams.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& packages_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
