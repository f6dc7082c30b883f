#include "current/probe.hpp"

#include <algorithm>

namespace zarvo::current {

Probe::Probe(Source source, std::string_view present_ext)
    : source_(source), size_(source.size()), present_ext_(present_ext) {
    head_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHeadBytes)));
    long got = head_.empty() ? 0 : source.read_at(0, head_.data(), head_.size());
    head_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    spent_ = head_.size();
    image_ = HexImage::of_bytes(std::string_view(head_).substr(0, kImageBytes));
}

Probe::Probe(Source source, std::string_view first_bytes, std::string_view present_ext)
    : source_(source), size_(source.size()), present_ext_(present_ext),
      head_(first_bytes.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHeadBytes)))) {
    spent_ = head_.size();
    image_ = HexImage::of_bytes(std::string_view(head_).substr(0, kImageBytes));
}

std::string_view Probe::read(std::uint64_t offset, std::size_t n) {
    if (offset >= size_) return {};
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
    if (offset + n <= head_.size()) return std::string_view(head_).substr(static_cast<std::size_t>(offset), n);
    n = std::min(n, kBudget - spent_);
    if (n == 0) return {};
    std::string& region = regions_.emplace_back(n, '\0');
    long got = source_.read_at(offset, region.data(), n);
    region.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    spent_ += n;  // a short or failed read still spends what it asked for
    return region;
}

Probe Probe::of_bytes(std::string_view bytes, std::string_view present_ext) {
    return Probe(Source::of_bytes(bytes), present_ext);
}

std::string_view Probe::tail(std::size_t n) {
    std::uint64_t start = size_ > n ? size_ - n : 0;
    return read(start, static_cast<std::size_t>(size_ - start));
}

}  // namespace zarvo::current
