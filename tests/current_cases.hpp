// Running the current-formats layer over bytes made by a test: the answer,
// the detail and what the probe read, and a table of cases checked in turn.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"

namespace oxtarn::test::layer {

namespace current = zarvo::current;
using zarvo::Context;

struct Answer {
    std::string candidates;
    std::string detail;
    std::size_t spent = 0;
};
inline Answer identify(const std::string& file, const zarvo::rules::Table* only = nullptr) {
    current::Probe probe = current::Probe::of_bytes(file);
    Context ctx;
    ctx.options = zarvo::kCurrent;
    ctx.file_size = file.size();
    Answer a;
    if (only) {
        // One group's table alone: what it answers, whatever the other groups say.
        ctx.probe = &probe;
        a.candidates = zarvo::rules::run(*only, probe.image(), ctx);
    } else {
        a.candidates = current::identify(probe, ctx);
    }
    a.detail = ctx.detail;
    a.spent = probe.spent();
    return a;
}

struct Case {
    const char* what;
    std::string file;
    std::string candidates;
    std::string detail;
};

inline void check(const std::vector<Case>& cases, const zarvo::rules::Table* only = nullptr) {
    for (const Case& c : cases) {
        Answer a = identify(c.file, only);
        EXPECT_EQ(a.candidates, c.candidates) << c.what;
        EXPECT_EQ(a.detail, c.detail) << c.what;
        EXPECT_LE(a.spent, current::kBudget) << c.what;
    }
}

}  // namespace oxtarn::test::layer
