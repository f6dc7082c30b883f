// The exported C interface. The only module-wide state of the engine lives
// here: the caller's error report function.
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "catalogue/catalogue.hpp"
#include "crc.hpp"
#include "current/catalogue.hpp"
#include "ext_list.hpp"
#include "identify.hpp"
#include "path_parts.hpp"
#include "platform/platform.hpp"
#include "record.hpp"
#include "source.hpp"
#include "text.hpp"
#include "version.hpp"
#include "zarvo32.h"

namespace {

std::mutex g_report_mutex;  // one installation at a time
std::atomic<ZarvoErrorReport> g_host_report{nullptr};

void call_host_report(const char* text, const char* caption) {
    if (ZarvoErrorReport fn = g_host_report.load()) fn(text, caption);
}

}  // namespace

extern "C" {

ZARVO_API int32_t ZARVO_CALL ZarvoGetInfo(const char* path, int32_t sample_length, ZarvoRecord* record,
                                          uint32_t options) {
    if (!path || !record) return 0;
    zarvo::write_record(zarvo::to_result(zarvo::identify(path, sample_length, options)), *record);
    return 0;
}

ZARVO_API int32_t ZARVO_CALL ZarvoGetInfoFromMemory(const void* data, uint64_t length, const char* name,
                                                    int32_t sample_length, ZarvoRecord* record, uint32_t options) {
    // No bytes to read (or more than this process can address): nothing is written.
    if (!record || (!data && length != 0) || static_cast<std::size_t>(length) != length) return 0;
    std::string_view bytes(static_cast<const char*>(data), static_cast<std::size_t>(length));
    zarvo::Identification id =
        zarvo::identify(zarvo::Source::of_bytes(bytes), name ? name : "", sample_length, options);
    zarvo::write_record(zarvo::to_result(id), *record);
    return 0;
}

ZARVO_API int32_t ZARVO_CALL ZarvoGetVersion(void) { return zarvo::kEngineVersion; }
ZARVO_API int32_t ZARVO_CALL ZarvoGetExNumKind(void) { return zarvo::kKindCount; }
ZARVO_API int32_t ZARVO_CALL ZarvoGetExNumPattern(void) { return zarvo::kSignatureCount; }
ZARVO_API int32_t ZARVO_CALL ZarvoGetExtListLength(void) { return zarvo::kKnownExtensionBuffer; }

ZARVO_API int32_t ZARVO_CALL ZarvoGetExtList(char* buffer) {
    if (buffer) zarvo::copy_text(buffer, zarvo::kKnownExtensions.size() + 1, zarvo::kKnownExtensions);
    return zarvo::kKnownExtensionCount;
}

ZARVO_API int32_t ZARVO_CALL ZarvoGetKindName(const char* extensions, char* name, char* mime) {
    zarvo::current::KindName kind;
    if (extensions) {
        // As written first (names such as "Makefile"), then in lower case.
        std::string_view first = std::string_view(extensions).substr(0, std::string_view(extensions).find(','));
        kind = zarvo::current::kind_name(first);
        if (kind.name.empty()) kind = zarvo::current::kind_name(zarvo::text::ascii_lower(first));
    }
    if (name) zarvo::copy_text(name, 256, kind.name);
    if (mime) zarvo::copy_text(mime, 128, kind.mime);
    return kind.name.empty() ? 0 : 1;
}

ZARVO_API int32_t ZARVO_CALL ZarvoGetCurrentExtListLength(void) {
    return static_cast<int32_t>(zarvo::current::extension_list().size() + 1);
}

ZARVO_API int32_t ZARVO_CALL ZarvoGetCurrentExtList(char* buffer, int32_t size) {
    std::string_view list = zarvo::current::extension_list();
    if (buffer && size > 0) {
        bool fits = static_cast<std::size_t>(size) > list.size();
        zarvo::copy_text(buffer, static_cast<std::size_t>(size), fits ? list : std::string_view());
    }
    return static_cast<int32_t>(zarvo::current::kind_count());
}

ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC(const char* path) { return path ? zarvo::file_crc16(path) : 0; }

ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC32(const char* path) { return path ? zarvo::file_crc32(path) : 0; }

ZARVO_API void ZARVO_CALL ZarvoSetErrorReport(ZarvoErrorReport report) {
    std::lock_guard lock(g_report_mutex);
    g_host_report.store(report);
    zarvo::platform::set_report(report ? call_host_report : nullptr);
}

}  // extern "C"

ZARVO_API void ZARVO_CALL gGetWhatEx(const char* ext, int32_t variant, char* out) {
    if (!out) return;
    std::string_view text = ext ? zarvo::catalogue::describe(ext, variant) : std::string_view();
    zarvo::copy_text(out, sizeof(ZarvoRecord::description), text);
}

ZARVO_API void ZARVO_CALL gGetNameEx(const char* path, int32_t part, char* out) {
    if (!out) return;
    if (!path) {
        *out = '\0';
        return;
    }
    std::string_view whole(path);
    // A part is never longer than the path, whose size the caller provides for.
    zarvo::copy_text(out, whole.size() + 1, zarvo::path_part(whole, part));
}
