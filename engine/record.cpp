#include "record.hpp"

#include <cstring>

#include "sjis.hpp"

namespace zarvo {

void copy_text(char* dst, std::size_t capacity, std::string_view text) {
    if (capacity == 0) return;
    std::size_t n = text.size();
    if (n > capacity - 1) {  // cut at a character boundary
        n = 0;
        for (;;) {
            std::size_t step = sjis::is_lead_byte(static_cast<unsigned char>(text[n])) ? 2 : 1;
            if (n + step > capacity - 1) break;
            n += step;
        }
    }
    if (n) std::memcpy(dst, text.data(), n);  // an empty view may have no storage
    dst[n] = '\0';
}

void write_record(const Result& result, ZarvoRecord& record) {
    copy_text(record.extension, sizeof record.extension, result.extensions);
    copy_text(record.description, sizeof record.description, result.description);
    copy_text(record.detail, sizeof record.detail, result.detail);
}

}  // namespace zarvo
