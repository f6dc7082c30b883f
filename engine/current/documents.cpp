// The current-formats layer: documents and books.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& documents_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
