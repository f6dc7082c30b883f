// The current-formats layer: audio streams and files.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& audio_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
