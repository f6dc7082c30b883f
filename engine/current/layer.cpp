#include "current/layer.hpp"

#include <array>

namespace zarvo::current {

std::span<const Group> groups() {
    // Containers that other kinds live in (ZIP, OLE) come after the kinds
    // with signatures of their own; text comes last.
    static constexpr std::array<Group, 12> kGroups{{
        {"media", media_table},
        {"audio", audio_table},
        {"images", images_table},
        {"programs", programs_table},
        {"data", data_table},
        {"documents", documents_table},
        {"fonts", fonts_table},
        {"disks", disks_table},
        {"keys", keys_table},
        {"packages", packages_table},
        {"archives", archives_table},
        {"text", text_table},
    }};
    return kGroups;
}

std::string identify(Probe& probe, Context& ctx) {
    ctx.probe = &probe;
    std::string answer;
    for (const Group& group : groups()) {
        answer = rules::run(group.table(), probe.image(), ctx);
        if (!answer.empty()) break;
    }
    ctx.probe = nullptr;
    return answer;
}

}  // namespace zarvo::current
