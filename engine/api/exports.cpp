// The exported C interface. The only module-wide state of the engine lives
// here: the values of the last identification, as callers of the original
// interface expect them, guarded so that overlapping calls cannot mix them.
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue/catalogue.hpp"
#include "crc.hpp"
#include "ext_list.hpp"
#include "identify.hpp"
#include "path_parts.hpp"
#include "platform/platform.hpp"
#include "record.hpp"
#include "version.hpp"
#include "zarvo32.h"

namespace {

struct ModuleState {
    std::uint32_t options = 0;
    std::int32_t sample_length = 0;
    std::uint32_t file_size = 0;  // low 32 bits, as the interface has always kept it
    std::string present_ext;
    std::int32_t selector = 0;
    std::string detail;
};

std::mutex g_mutex;
ModuleState g_state;

std::atomic<ZarvoErrorReport> g_host_report{nullptr};

// Reports raised while the lock is held wait here and reach the host's
// function after unlocking, so that it may call back into the module.
using HeldReports = std::vector<std::pair<std::string, std::string>>;
thread_local HeldReports* t_held_reports = nullptr;

void call_host_report(const char* text, const char* caption) {
    if (t_held_reports) t_held_reports->emplace_back(text, caption);
    else if (ZarvoErrorReport fn = g_host_report.load()) fn(text, caption);
}

}  // namespace

extern "C" {

ZARVO_API int32_t ZARVO_CALL ZarvoGetInfo(const char* path, int32_t sample_length, ZarvoRecord* record,
                                          uint32_t options) {
    if (!path || !record) return 0;
    HeldReports held;
    std::unique_lock lock(g_mutex);
    t_held_reports = &held;
    g_state.options = options;
    g_state.sample_length = sample_length;

    zarvo::Identification id = zarvo::identify(path, sample_length, options);
    if (id.status == zarvo::Identification::Status::kRead) {
        const zarvo::Context& ctx = id.context;
        g_state.file_size = static_cast<std::uint32_t>(ctx.file_size);
        g_state.present_ext = ctx.present_ext;
        g_state.selector = ctx.selector;
        g_state.detail = ctx.detail;
    }
    zarvo::write_record(zarvo::to_result(id), *record);
    t_held_reports = nullptr;
    lock.unlock();
    for (const auto& [text, caption] : held) call_host_report(text.c_str(), caption.c_str());
    return 0;
}

ZARVO_API int32_t ZARVO_CALL ZarvoGetVersion(void) { return zarvo::kEngineVersion; }
ZARVO_API int32_t ZARVO_CALL ZarvoGetExNumKind(void) { return 765; }
ZARVO_API int32_t ZARVO_CALL ZarvoGetExNumPattern(void) { return 824; }
ZARVO_API int32_t ZARVO_CALL ZarvoGetExtListLength(void) { return 3000; }

ZARVO_API int32_t ZARVO_CALL ZarvoGetExtList(char* buffer) {
    if (buffer) zarvo::copy_text(buffer, zarvo::kKnownExtensions.size() + 1, zarvo::kKnownExtensions);
    return zarvo::kKnownExtensionCount;
}

ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC(const char* path) { return path ? zarvo::file_crc16(path) : 0; }

ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC32(const char* path) { return path ? zarvo::file_crc32(path) : 0; }

ZARVO_API void ZARVO_CALL ZarvoSetErrorReport(ZarvoErrorReport report) {
    std::lock_guard lock(g_mutex);
    g_host_report = report;
    zarvo::platform::set_report(report ? call_host_report : nullptr);
}

}  // extern "C"

ZARVO_API void ZARVO_CALL gGetWhatEx(const char* ext, int32_t table, char* out) {
    if (!out) return;
    std::string_view text = ext ? zarvo::catalogue::describe(ext, table) : std::string_view();
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
