// The current-formats layer: disk, machine and file-system images.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& disks_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
