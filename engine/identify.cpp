#include "identify.hpp"

#include <algorithm>

#include "catalogue/catalogue.hpp"
#include "candidates.hpp"
#include "chain.hpp"
#include "current/catalogue.hpp"
#include "current/layer.hpp"
#include "hex_image.hpp"
#include "path_parts.hpp"
#include "platform/platform.hpp"
#include "sample.hpp"
#include "text.hpp"

namespace zarvo {

Images render(const Sample& sample, std::uint32_t options) {
    Images images{HexImage::of_bytes(sample.head), HexImage()};
    if (options & kFooter) images.tail = HexImage::of_bytes(sample.tail);
    if (options & kMacBinary) images.head.drop_front(256);
    return images;
}

Identification identify(const char* path, std::int32_t sample_length, std::uint32_t options) {
    platform::File file = platform::File::open(path);
    if (!file.is_open()) {
        Identification id;
        id.context.options = options;
        id.context.sample_length = sample_length;
        id.error = platform::error_text(file.error());
        if (!(options & kQuiet)) platform::report(id.error, "Error");
        return id;
    }
    return identify(Source::of_file(file), path, sample_length, options);
}

Identification identify(const Source& source, std::string_view name, std::int32_t sample_length,
                        std::uint32_t options) {
    Identification id;
    Context& ctx = id.context;
    ctx.options = options;
    ctx.sample_length = sample_length;

    // The layer's head comes from the same read as the classic sample.
    const bool current = (options & kCurrent) != 0;
    Sample sample;
    if (!read_sample(source, sample_length, (options & kFooter) != 0, sample, current ? current::kHeadBytes : 0)) {
        id.status = Identification::Status::kReadFailed;
        return id;
    }
    id.status = Identification::Status::kRead;
    ctx.file_size = sample.size;
    ctx.present_ext = platform::lower_extension(path_part(name, kExtension));
    ctx.variant = variants::kPrimary;
    ctx.detail.clear();

    if (current) {
        current::Probe probe(source, sample.head, ctx.present_ext);
        std::string answer = current::identify(probe, ctx);
        if (!answer.empty()) {
            id.by_current = true;
            id.kind = ctx.kind.empty() ? text::field(answer, 1) : ctx.kind;
            id.result = order_candidates(answer, ctx.present_ext);
            return id;
        }
        ctx.detail.clear();
        sample.head.resize(std::min<std::size_t>(sample.head.size(), clamp_sample_length(sample_length)));
    }

    Images images = render(sample, options);
    id.result = run_chain(images.head, images.tail, source, ctx);
    return id;
}

Result to_result(const Identification& id) {
    if (id.result.empty()) return {"?", "", ""};
    // A current kind is described by the layer's own first candidate, which
    // the present extension may have moved from the front.
    if (id.by_current) return {id.result, std::string(current::describe(id.kind)), id.context.detail};
    std::string_view first = text::field(id.result, 1);
    return {id.result, std::string(catalogue::describe(first, id.context.variant)), id.context.detail};
}

current::KindName kind_name(const Identification& id) {
    if (id.result.empty()) return {};
    if (id.by_current) return current::kind_name(id.kind);
    return current::classic_kind_name(text::field(id.result, 1));
}

}  // namespace zarvo
