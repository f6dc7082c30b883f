// The exported C interface with hostile arguments: null pointers, empty and
// huge paths, any sample length, option bits, part and table numbers, and
// buffers identified from memory.
//
// Input layout: byte 0 picks what is null, bytes 1-4 a number, bytes 5-8
// the option bits, byte 9 how the path is made, the rest the path's bytes.
// Paths are taken as given, inside a scratch folder (with a zip file, an
// empty file, a folder and a FIFO in it), or repeated to a huge length.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "zarvo32.h"

namespace {

std::string g_dir;

void ZARVO_CALL silent_report(const char* text, const char* caption) {
    // The report gets two readable, zero-ended texts.
    if (!text || !caption || std::strlen(caption) == 0) std::abort();
    (void)std::strlen(text);
}

// A heap copy of exactly n bytes, so that a read or write past it is caught.
struct Buffer {
    explicit Buffer(std::size_t n, char fill) : bytes(new char[n]), size(n) { std::memset(bytes.get(), fill, n); }
    std::unique_ptr<char[]> bytes;
    std::size_t size;
    bool ends_inside() const { return std::memchr(bytes.get(), 0, size) != nullptr; }
};

void write_file(const std::string& path, const void* data, std::size_t n) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, n, f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string tmpl = "/tmp/oxtarn-api-fuzz-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    g_dir = tmpl;
    static const unsigned char zip[] = {0x50, 0x4B, 0x03, 0x04, 0x14, 0, 0, 0};
    write_file(g_dir + "/a.zip", zip, sizeof zip);
    write_file(g_dir + "/empty", "", 0);
    ::mkdir((g_dir + "/dir").c_str(), 0700);
    ::mkfifo((g_dir + "/fifo").c_str(), 0600);
    std::atexit([] {
        for (const char* n : {"/a.zip", "/empty", "/fifo"}) ::unlink((g_dir + n).c_str());
        ::rmdir((g_dir + "/dir").c_str());
        ::rmdir(g_dir.c_str());
    });
    ZarvoSetErrorReport(silent_report);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) return 0;
    const std::uint8_t nulls = data[0];
    std::int32_t number;
    std::uint32_t options;
    std::memcpy(&number, data + 1, 4);
    std::memcpy(&options, data + 5, 4);
    const std::uint8_t how = data[9];
    std::string raw(reinterpret_cast<const char*>(data) + 10, size - 10);
    raw = raw.substr(0, raw.find('\0'));

    std::string path;
    switch (how % 4) {
        case 0: path = raw; break;
        case 1: path = g_dir + "/" + raw; break;
        case 2:  // huge: up to 64 KiB, far beyond the system's limit
            path.reserve(static_cast<std::size_t>(how) * 256 + raw.size());
            for (std::size_t n = 0; !raw.empty() && n < static_cast<std::size_t>(how) * 256; n += raw.size()) path += raw;
            break;
        case 3: path = g_dir + "/" + (how & 4 ? "a.zip" : how & 8 ? "dir" : how & 16 ? "fifo" : "empty"); break;
    }
    // The path as the caller owns it: exactly its bytes and the ending zero.
    Buffer path_buf(path.size() + 1, 0);
    std::memcpy(path_buf.bytes.get(), path.data(), path.size());
    const char* p = nulls & 1 ? nullptr : path_buf.bytes.get();

    switch ((nulls >> 1) % 5) {
        case 0: {
            Buffer record(sizeof(ZarvoRecord), '\x5A');
            auto* rec = nulls & 8 ? nullptr : reinterpret_cast<ZarvoRecord*>(record.bytes.get());
            // Quiet or not, the report function above takes the message.
            if (ZarvoGetInfo(p, number, rec, options) != 0) std::abort();
            if (rec && p) {
                if (!std::memchr(rec->extension, 0, sizeof rec->extension) ||
                    !std::memchr(rec->description, 0, sizeof rec->description) ||
                    !std::memchr(rec->detail, 0, sizeof rec->detail))
                    std::abort();
            } else if (record.bytes[0] != '\x5A') {
                std::abort();  // nothing is written without a path and a record
            }
            // The path's bytes as a buffer's content, the path as its name
            // (or no buffer at all, which writes nothing either).
            Buffer memory(sizeof(ZarvoRecord), '\x5A');
            auto* mem = nulls & 8 ? nullptr : reinterpret_cast<ZarvoRecord*>(memory.bytes.get());
            const void* content = nulls & 16 ? nullptr : raw.data();
            if (ZarvoGetInfoFromMemory(content, raw.size(), p, number, mem, options) != 0) std::abort();
            if (mem && (content || raw.empty())) {
                if (!std::memchr(mem->extension, 0, sizeof mem->extension) ||
                    !std::memchr(mem->description, 0, sizeof mem->description) ||
                    !std::memchr(mem->detail, 0, sizeof mem->detail))
                    std::abort();
            } else if (memory.bytes[0] != '\x5A') {
                std::abort();
            }
            break;
        }
        case 1: {
            Buffer out(path.size() + 1, '\x5A');
            gGetNameEx(p, number, nulls & 8 ? nullptr : out.bytes.get());
            if (!(nulls & 8) && !out.ends_inside()) std::abort();
            break;
        }
        case 2: {
            Buffer out(256, '\x5A');
            gGetWhatEx(p, number, nulls & 8 ? nullptr : out.bytes.get());
            if (!(nulls & 8) && !out.ends_inside()) std::abort();
            break;
        }
        case 3: {
            // The checksums read whole files: only the scratch folder's.
            const char* q = how % 4 == 1 || how % 4 == 3 ? p : nulls & 1 ? nullptr : "";
            std::uint32_t crc16 = ZarvoGetFileCRC(q);
            ZarvoGetFileCRC32(q);
            if (crc16 > 0xFFFF) std::abort();
            break;
        }
        case 4: {
            Buffer list(static_cast<std::size_t>(ZarvoGetExtListLength()), '\x5A');
            if (ZarvoGetExtList(nulls & 8 ? nullptr : list.bytes.get()) != 718) std::abort();
            if (!(nulls & 8) && !list.ends_inside()) std::abort();
            ZarvoSetErrorReport(nullptr);  // back to the default, then ours again
            ZarvoSetErrorReport(silent_report);
            break;
        }
    }
    return 0;
}
