// A stand-in engine for the window tests, so that they can say what the
// engine answers. It answers from the file itself: the first line is the
// extension text, the second the description, the third the detail text
// (all bytes as they stand). A third line "@args" is answered with the
// sample length and option bits of the call, as "length/bits"; in any other
// detail line the two characters "\n" stand for a line break. The checksums
// are the file's size. Built with STUB_VERSION_ONLY it has nothing but the
// version, like an engine that lacks functions.
#include <cstdio>
#include <cstring>
#include <string>

#include "zarvo32.h"

#ifndef STUB_VERSION_ONLY
namespace {
ZarvoErrorReport g_report = nullptr;

bool readFile(const char* path, std::string& content) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    std::fclose(f);
    return true;
}

std::string line(const std::string& content, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = content.find('\n', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    const size_t end = content.find('\n', start);
    return content.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void put(char* field, size_t size, const std::string& text) {
    std::strncpy(field, text.c_str(), size - 1);
}
}  // namespace
#endif

extern "C" {

ZARVO_API int32_t ZARVO_CALL ZarvoGetVersion(void) { return 121; }

#ifndef STUB_VERSION_ONLY
ZARVO_API void ZARVO_CALL ZarvoSetErrorReport(ZarvoErrorReport report) { g_report = report; }

ZARVO_API int32_t ZARVO_CALL ZarvoGetInfo(const char* path, int32_t sample_length, ZarvoRecord* record,
                                          uint32_t options) {
    std::string content;
    if (!readFile(path, content)) {
        if (g_report && !(options & ZARVO_QUIET)) g_report("No such file or directory", "Error");
        put(record->extension, sizeof record->extension, "?");
        return 0;
    }
    const std::string ext = line(content, 0);
    put(record->extension, sizeof record->extension, ext.empty() ? "?" : ext);
    put(record->description, sizeof record->description, line(content, 1));
    std::string detail = line(content, 2);
    if (detail == "@args") detail = std::to_string(sample_length) + "/" + std::to_string(options);
    for (size_t at = detail.find("\\n"); at != std::string::npos; at = detail.find("\\n", at + 1))
        detail.replace(at, 2, "\n");
    put(record->detail, sizeof record->detail, detail);
    return 0;
}

ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC(const char* path) {
    std::string content;
    return readFile(path, content) ? uint32_t(content.size()) : 0;
}

ZARVO_API uint32_t ZARVO_CALL ZarvoGetFileCRC32(const char* path) { return ZarvoGetFileCRC(path); }
#endif

}  // extern "C"
