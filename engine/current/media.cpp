// The current-formats layer: ISO base media by brand, JPEG 2000 and JPEG XL, Matroska/WebM, RIFF kinds, Ogg by its first stream.
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

const Table& media_table() {
    static const Table rows = {
    };
    return rows;
}

}  // namespace zarvo::current
