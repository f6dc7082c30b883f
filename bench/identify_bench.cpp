// Throughput of the engine: whole identifications with the default sample
// (files per second) and the window scan (bytes per second).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "crc.hpp"
#include "identify.hpp"
#include "refine/refine.hpp"
#include "text.hpp"

namespace {

namespace fs = std::filesystem;

// A folder of small files of several kinds, and one large file of noise.
struct Corpus {
    fs::path dir;
    std::vector<std::string> files;
    std::string large;

    Corpus() {
        dir = fs::temp_directory_path() / ("oxtarn-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::mt19937 rng(42);
        auto noise = [&](std::size_t n) {
            std::string s(n, '\0');
            for (char& c : s) c = static_cast<char>(rng());
            return s;
        };
        const std::vector<std::string> heads = {
            std::string("PK\x03\x04", 4), "GIF89a", std::string("\x89PNG\r\n\x1a\n", 8), "RIFF\x24\0\0\0WAVEfmt ",
            "MThd", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10), "%PDF-1.4", "MZ", "<html><head>", "plain text\n",
            // today's kinds
            std::string("\0\0\0\x18" "ftypisom\0\0\x02\0isommp41", 24), std::string("\x7F" "ELF\x02\x01\x01", 7),
            std::string("fLaC\x80\0\0\x22", 8), std::string("SQLite format 3\0", 16),
        };
        for (std::size_t i = 0; i < 200; ++i) {
            std::string content = heads[i % heads.size()] + noise(2000 + 37 * i);
            fs::path p = dir / std::string("f").append(std::to_string(i)).append(".bin");
            std::ofstream(p, std::ios::binary) << content;
            files.push_back(p.string());
        }
        large = (dir / "large.bin").string();
        std::ofstream(large, std::ios::binary) << noise(8 << 20);
    }
    ~Corpus() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Corpus& corpus() {
    static Corpus c;
    return c;
}

void BM_IdentifyDefaultSample(benchmark::State& state) {
    const auto& files = corpus().files;
    std::size_t i = 0;
    for (auto _ : state) {
        zarvo::Result r = zarvo::to_result(zarvo::identify(files[i++ % files.size()].c_str(), 256, zarvo::kQuiet));
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IdentifyDefaultSample);

// The same files with the current-formats layer asked first (option bit 16).
void BM_IdentifyDefaultSampleCurrent(benchmark::State& state) {
    const auto& files = corpus().files;
    std::size_t i = 0;
    for (auto _ : state) {
        zarvo::Result r = zarvo::to_result(zarvo::identify(files[i++ % files.size()].c_str(), 256, zarvo::kQuiet | zarvo::kCurrent));
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IdentifyDefaultSampleCurrent);

void BM_IdentifyLargeSample(benchmark::State& state) {
    const auto& files = corpus().files;
    std::size_t i = 0;
    for (auto _ : state) {
        zarvo::Result r = zarvo::to_result(zarvo::identify(files[i++ % files.size()].c_str(), 6000, zarvo::kQuiet | zarvo::kFooter));
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IdentifyLargeSample);

void BM_WindowScan(benchmark::State& state) {
    zarvo::Context ctx;
    ctx.options = zarvo::kSpecial;
    for (auto _ : state) {
        zarvo::platform::File f = zarvo::platform::File::open(corpus().large.c_str());
        std::string answer = zarvo::refine::scan_windows(zarvo::Source::of_file(f), [&](std::string_view w, std::uint64_t) {
            return zarvo::refine::window_tests(w, "jpg", ctx);
        });
        benchmark::DoNotOptimize(answer);
        state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(f.size()));
    }
}
BENCHMARK(BM_WindowScan)->Unit(benchmark::kMillisecond);

// The same windows rendered as hex images: what the scan spares itself by
// looking for the patterns in the bytes.
void BM_WindowScanRenderOnly(benchmark::State& state) {
    for (auto _ : state) {
        zarvo::platform::File f = zarvo::platform::File::open(corpus().large.c_str());
        std::string answer = zarvo::refine::scan_windows(zarvo::Source::of_file(f), [](std::string_view bytes, std::uint64_t) {
            zarvo::HexImage w = zarvo::HexImage::of_bytes(bytes);
            benchmark::DoNotOptimize(w.text().data());
            return std::string();
        });
        state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(f.size()));
    }
}
BENCHMARK(BM_WindowScanRenderOnly)->Unit(benchmark::kMillisecond);

// The floor for the window scan: reading the same file through the same
// 3000-byte windows, overlapping by 64 bytes, and nothing else.
void BM_ReadWindowsOnly(benchmark::State& state) {
    std::string buffer(zarvo::refine::kWindowBytes, '\0');
    for (auto _ : state) {
        zarvo::platform::File f = zarvo::platform::File::open(corpus().large.c_str());
        for (std::uint64_t start = 0;; start += zarvo::refine::kWindowBytes - zarvo::refine::kWindowOverlap) {
            long got = f.read_at(start, buffer.data(), buffer.size());
            benchmark::DoNotOptimize(buffer.data());
            if (got < static_cast<long>(buffer.size())) break;
        }
        state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(f.size()));
    }
}
BENCHMARK(BM_ReadWindowsOnly)->Unit(benchmark::kMillisecond);

// Table patterns searched through a 256-byte head image that does not hold
// them (the cost of a search test that fails).
const std::string& noise_image() {
    static const std::string image = [] {
        std::mt19937 rng(3);
        std::string bytes(256, '\0');
        for (char& c : bytes) c = static_cast<char>(rng());
        return zarvo::text::to_hex(bytes);
    }();
    return image;
}

void BM_FindInHeadImage(benchmark::State& state) {
    static const std::vector<std::string> patterns = {"2369", "2E706365", "0D0A50726F6A57696E53697A653D",
                                                      "4075F0F6EC42CE11813500AA004BB851"};
    const std::string& pattern = patterns[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state) benchmark::DoNotOptimize(zarvo::text::find(noise_image(), pattern));
}
BENCHMARK(BM_FindInHeadImage)->DenseRange(0, 3);

}  // namespace

// Both checksums of one large file (what --crc asks), in bytes per second.
void BM_ChecksumLargeFile(benchmark::State& state) {
    static const std::string path = [] {
        std::string p = (corpus().dir / "checksum.bin").string();
        std::mt19937 rng(7);
        std::string block(1 << 20, '\0');
        std::ofstream out(p, std::ios::binary);
        for (int i = 0; i < 256; ++i) {
            for (char& c : block) c = static_cast<char>(rng());
            out << block;
        }
        return p;
    }();
    for (auto _ : state) benchmark::DoNotOptimize(zarvo::file_checksums(path.c_str()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (256 << 20));
}
BENCHMARK(BM_ChecksumLargeFile)->Unit(benchmark::kMillisecond);

// Both checksums of a 256 KiB block in memory (one read's worth), by each
// arithmetic: 0 the tables, 1 the folding (where the processor has it).
void BM_ChecksumBlock(benchmark::State& state) {
    const auto path = state.range(0) == 0 ? zarvo::CrcPath::kTables : zarvo::CrcPath::kFolding;
    if (path == zarvo::CrcPath::kFolding && !zarvo::folding_supported()) {
        state.SkipWithError("no carry-less multiply on this processor");
        return;
    }
    std::mt19937 rng(9);
    std::string block(256 * 1024, '\0');
    for (char& c : block) c = static_cast<char>(rng());
    for (auto _ : state) {
        std::uint16_t c16 = 0xFFFF;
        std::uint32_t c32 = 0xFFFFFFFF;
        zarvo::update_both(c16, c32, block, path);
        benchmark::DoNotOptimize(c16);
        benchmark::DoNotOptimize(c32);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}
BENCHMARK(BM_ChecksumBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
