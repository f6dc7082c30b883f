// Identifications at the same time on many threads, through the exported
// interface and through the reentrant core, give exactly the answers of
// the same calls made one after another: no detail text, variant or
// result of one call reaches another. scripts/tsan.sh runs these tests
// under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "identify.hpp"
#include "platform/platform.hpp"
#include "support.hpp"
#include "zarvo32.h"

using oxtarn::test::bytes;
using oxtarn::test::expected;
using oxtarn::test::file_with;
using oxtarn::test::info;
using oxtarn::test::Record;
using oxtarn::test::TempDir;

namespace {

struct Call {
    std::string path;
    std::uint32_t options;
    std::int32_t sample;
};

// Files the archive family tells apart by result, detail text and
// description variant, files no family knows, a file whose answer depends
// on the MacBinary cut, and a missing one; each with several option bits.
std::vector<Call> calls_over(const TempDir& dir) {
    const std::string lzh = file_with(40, {{2, "2D6C68352D"}});
    const std::string lzh_marked =
        file_with(80, {{2, "2D6C68362D"}, {27, "8996836F835E815B8389815B8381839382C182C494FC96A182B582A282E682CB2E747874"}});
    std::vector<std::string> paths = {
        dir.write("a.jar", file_with(64, {{0, "504B0304"}})),
        dir.write("b.r05", file_with(64, {{0, "526172211A07"}})),
        dir.write("c.gz", file_with(64, {{0, "1F8B0800"}})),
        dir.write("d.lzh", lzh),
        dir.write("e.bin", lzh_marked),
        dir.write("f.bz2", bytes("425A6839") + "1AY&SY"),
        dir.write("g.dat", std::string(128, '\x7F') + lzh),  // lzh behind a MacBinary header
        dir.write("h.txt", "plain words, nothing more\r\n"),
        dir.write("i.bin", std::string(3000, '\x00') + "tail"),
        dir.path() + "/missing.zip",
    };
    std::vector<Call> calls;
    for (const std::string& p : paths)
        for (std::uint32_t options : {8u, 8u | 1u, 8u | 2u, 8u | 4u, 8u | 1u | 2u | 4u})
            calls.push_back({p, options, options & 1 ? 512 : 256});
    return calls;
}

Record core_record(const Call& c) {
    zarvo::Result r = zarvo::to_result(zarvo::identify(c.path.c_str(), c.sample, c.options));
    return {r.extensions, r.description, r.detail};
}

// Runs every call many times on `threads` threads, each thread starting at
// another call; `one` makes a call on thread t. Returns the records in the
// order: thread, round, call.
template <typename One>
std::vector<std::vector<Record>> run_together(const std::vector<Call>& calls, int threads, int rounds, One one) {
    std::vector<std::vector<Record>> got(static_cast<std::size_t>(threads));
    std::atomic<int> ready{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < threads) std::this_thread::yield();  // start together
            for (int r = 0; r < rounds; ++r)
                for (std::size_t i = 0; i < calls.size(); ++i) {
                    const Call& c = calls[(i + static_cast<std::size_t>(t) * 7) % calls.size()];
                    got[static_cast<std::size_t>(t)].push_back(one(c, t));
                }
        });
    for (std::thread& th : pool) th.join();
    return got;
}

// The same check on the main thread, so no assertion runs on a worker.
void expect_same_as_sequential(const std::vector<Call>& calls, const std::vector<Record>& sequential,
                               const std::vector<std::vector<Record>>& got) {
    for (std::size_t t = 0; t < got.size(); ++t)
        for (std::size_t k = 0; k < got[t].size(); ++k) {
            std::size_t i = (k % calls.size() + t * 7) % calls.size();
            ASSERT_EQ(got[t][k], sequential[i]) << calls[i].path << " options " << calls[i].options << " thread " << t;
        }
}

std::atomic<int> g_exported_reports{0};
std::atomic<int> g_core_reports{0};
void ZARVO_CALL count_exported_report(const char*, const char* caption) {
    if (std::string(caption) == "Error") g_exported_reports.fetch_add(1);
}
void count_core_report(const char*, const char* caption) {
    if (std::string(caption) == "Error") g_core_reports.fetch_add(1);
}

}  // namespace

TEST(Concurrency, ThreadsGetTheAnswersOfSequentialCalls) {
    TempDir dir;
    const std::vector<Call> calls = calls_over(dir);
    std::vector<Record> sequential;
    for (const Call& c : calls) sequential.push_back(info(c.path, c.sample, c.options));

    // The calls differ in result, detail text and variant, so cross-talk shows.
    auto has = [&](const Record& r) { return std::find(sequential.begin(), sequential.end(), r) != sequential.end(); };
    EXPECT_TRUE(has(expected("jar,zip,wmz,wsz,nar")));
    EXPECT_TRUE(has(expected("lzh,ar,arx", 1, "Level5")));
    EXPECT_TRUE(has(expected("lzh", 15)));
    EXPECT_TRUE(has(expected("bz2", 1, "Level:9")));
    EXPECT_TRUE(has(Record{"?", "", ""}));
    // The core gives the same records as the exported interface.
    for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(core_record(calls[i]), sequential[i]) << calls[i].path;

    const int threads = 8, rounds = 6;
    // Through the exported interface alone.
    expect_same_as_sequential(calls, sequential,
                              run_together(calls, threads, rounds, [](const Call& c, int) {
                                  return info(c.path, c.sample, c.options);
                              }));
    // Through the core alone: no lock serialises these calls.
    expect_same_as_sequential(calls, sequential,
                              run_together(calls, threads, rounds, [](const Call& c, int) { return core_record(c); }));
    // Both at once: odd threads use the exported interface.
    expect_same_as_sequential(calls, sequential, run_together(calls, threads, rounds, [](const Call& c, int t) {
                                  return t % 2 ? info(c.path, c.sample, c.options) : core_record(c);
                              }));
}

TEST(Concurrency, ErrorReportsFromManyThreads) {
    TempDir dir;
    const std::string missing = dir.path() + "/missing.zip";
    const std::string present = dir.write("here.zip", file_with(64, {{0, "504B0304"}}));
    ZarvoSetErrorReport(count_exported_report);
    zarvo::platform::set_report(count_core_report);
    g_exported_reports = 0;
    g_core_reports = 0;

    // Every call that cannot open its file and is not quiet reports once.
    const int threads = 8, calls = 50;
    std::vector<std::thread> pool;
    std::atomic<int> wrong{0};
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            for (int i = 0; i < calls; ++i) {
                ZarvoRecord rec{};
                bool exported = (t + i) % 2 == 0;
                if (exported) ZarvoGetInfo(missing.c_str(), 256, &rec, i % 3 == 0 ? 4 : 0);
                else zarvo::to_result(zarvo::identify(missing.c_str(), 256, i % 3 == 0 ? 4 : 0));
                // Quiet calls on a readable file in between report nothing.
                if (info(present, 256, 8 | 4).extension != "zip,jar,wmz,wsz,nar") wrong.fetch_add(1);
            }
        });
    for (std::thread& th : pool) th.join();
    ZarvoSetErrorReport(nullptr);
    zarvo::platform::set_report(nullptr);

    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(g_exported_reports.load(), threads * calls / 2);
    EXPECT_EQ(g_core_reports.load(), threads * calls / 2);
}
