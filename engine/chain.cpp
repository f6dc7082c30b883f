#include "chain.hpp"

#include <array>

#include "candidates.hpp"
#include "families/families.hpp"
#include "refine/refine.hpp"

namespace zarvo {

std::span<const Family> chain_families() {
    namespace f = families;
    static constexpr std::array<Family, 19> kChain{{
        {"archive", f::archive_table},
        {"split", f::split_table},
        {"encrypted", f::encrypted_table},
        {"text encoding", f::text_encoding_table},
        {"console", f::console_table},
        {"picture", f::picture_table},
        {"disc", f::disc_table},
        {"audio", f::audio_table},
        {"video", f::video_table},
        {"checksum list", f::checksum_lists_table},
        {"executable", f::executable_table},
        {"office", f::office_table},
        {"music chart", f::charts_table},
        {"development", f::development_table},
        {"markup", f::markup_table},
        {"system", f::system_table},
        {"application data", f::app_data_table},
        {"mobile", f::mobile_table},
        {"miscellaneous", f::misc_table},
    }};
    return kChain;
}

std::string run_chain(const HexImage& head, const HexImage& tail, const Source& source, Context& ctx) {
    std::string answer;
    for (const Family& family : chain_families()) {
        answer = rules::run(family.table(), head, ctx);
        if (!answer.empty()) break;
    }
    return order_candidates(refine::after_chain(std::move(answer), head, tail, source, ctx), ctx.present_ext);
}

}  // namespace zarvo
