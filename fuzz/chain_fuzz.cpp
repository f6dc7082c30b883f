// The whole identification over arbitrary bytes.
//
// Input layout: byte 0-1 the option bits (bits 0..15; value 16 asks the
// current-formats layer first), byte 2-3 the sample length (0..40000), byte 4
// the present extension's choice, the rest the file's content. The content
// is identified twice: from memory and from a file holding the same bytes;
// both must agree, neither may crash, leak or hang, and the layer's probe
// never reads more than its budget.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "current/layer.hpp"
#include "current/probe.hpp"
#include "identify.hpp"
#include "record.hpp"
#include "sample.hpp"
#include "source.hpp"
#include "zarvo32.h"

namespace {

// Extensions that exercise the candidate ordering (case and repeated entries).
constexpr std::array<std::string_view, 10> kNames = {
    "sample", "sample.bin", "sample.ZIP", "sample.jar", "sample.r01",
    "sample.lzh", "sample.", "sample.gz", "sample.txt", ".sample",
};

std::string g_dir;

void fail(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s differ:\n  in memory: %s\n  from file: %s\n", what, a.c_str(), b.c_str());
    std::abort();
}

// Writes the content to `name` in the scratch folder; returns its path.
std::string write_file(std::string_view name, std::string_view content) {
    std::string path = g_dir + "/" + std::string(name);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string tmpl = std::string(base) + "/oxtarn-fuzz-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    g_dir = tmpl;
    std::atexit([] {
        for (std::string_view n : kNames) ::unlink((g_dir + "/" + std::string(n)).c_str());
        ::rmdir(g_dir.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::uint32_t options = (data[0] | data[1] << 8) | zarvo::kQuiet;
    const std::int32_t sample_length = static_cast<std::int32_t>((data[2] | data[3] << 8) % (zarvo::kMaxSample + 1));
    const std::string_view name = kNames[data[4] % kNames.size()];
    const std::string_view content(reinterpret_cast<const char*>(data) + 5, size - 5);
    const std::string path = write_file(name, content);

    // In memory, and from the file: the same bytes give the same answer.
    zarvo::Identification mem = zarvo::identify(zarvo::Source::of_bytes(content), name, sample_length, options);
    zarvo::Identification disk = zarvo::identify(path.c_str(), sample_length, options);
    if (mem.status != zarvo::Identification::Status::kRead) fail("status", "read", "in memory");
    if (disk.status != zarvo::Identification::Status::kRead) fail("status", "read", disk.error);
    if (mem.result != disk.result) fail("results", mem.result, disk.result);
    if (mem.context.detail != disk.context.detail) fail("detail texts", mem.context.detail, disk.context.detail);
    if (mem.context.variant != disk.context.variant)
        fail("variants", std::to_string(mem.context.variant), std::to_string(disk.context.variant));
    if (mem.by_current != disk.by_current) fail("layers", mem.by_current ? "current" : "chain", disk.by_current ? "current" : "chain");

    // The layer on its own: within its budget, however the content lies.
    if (options & zarvo::kCurrent) {
        zarvo::current::Probe probe = zarvo::current::Probe::of_bytes(content);
        zarvo::Context ctx;
        ctx.options = options;
        zarvo::current::identify(probe, ctx);
        if (probe.spent() > zarvo::current::kBudget) std::abort();
    }

    // The record: every field ends inside itself.
    ZarvoRecord record;
    std::memset(&record, 0xA5, sizeof record);
    zarvo::write_record(zarvo::to_result(mem), record);
    if (!std::memchr(record.extension, 0, sizeof record.extension) ||
        !std::memchr(record.description, 0, sizeof record.description) ||
        !std::memchr(record.detail, 0, sizeof record.detail))
        std::abort();
    return 0;
}
