// The text group of the current-formats layer on 4 KiB heads held in
// memory: deciding the kind of text, and turning binary down.
#include <benchmark/benchmark.h>

#include <string>

#include "context.hpp"
#include "current/layer.hpp"

namespace {

// A head of `unit` repeated to the layer's head size.
std::string head_of(std::string_view unit) {
    std::string s;
    while (s.size() < zarvo::current::kHeadBytes) s += unit;
    s.resize(zarvo::current::kHeadBytes);
    return s;
}

const std::string& sample(int which) {
    static const std::string kHeads[] = {
        head_of("static int count(const char *s)\n{\n    int n = 0;\n    while (*s++)\n        n++;\n    return n;\n}\n"),
        head_of("The committee met on Tuesday and agreed on the plan, with a few changes to the order of work.\n"),
        head_of("{\"name\": \"demo\", \"values\": [1, 2, 3], \"nested\": {\"ok\": true}},\n"),
        head_of("name,age,city\nann,31,Oslo\n"),
        head_of(std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)),
    };
    return kHeads[which];
}

// Only the text group, as the layer asks it last.
void BM_TextGroup(benchmark::State& state) {
    const std::string& bytes = sample(static_cast<int>(state.range(0)));
    zarvo::current::Probe probe = zarvo::current::Probe::of_bytes(bytes);
    zarvo::Context ctx;
    ctx.options = zarvo::kCurrent;
    ctx.probe = &probe;
    const zarvo::rules::Table& table = zarvo::current::text_table();
    for (auto _ : state) {
        std::string answer = zarvo::rules::run(table, probe.image(), ctx);
        benchmark::DoNotOptimize(answer);
    }
}
// 0 C source, 1 prose, 2 JSON, 3 CSV, 4 binary (PNG)
BENCHMARK(BM_TextGroup)->DenseRange(0, 4);

}  // namespace
