// Executables, help and installers.
#include "families.hpp"
#include "rules.hpp"

namespace zarvo::families {

using namespace rules;

namespace {
const Table& table() {
    static const Table rows = {
    };
    return rows;
}
}  // namespace

std::string executable(const HexImage& head, Context& ctx) { return run(table(), head, ctx); }

}  // namespace zarvo::families
