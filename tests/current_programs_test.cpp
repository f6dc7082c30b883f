// The current-formats layer's executables and bytecode: headers built here
// from the formats' published layouts, run through the layer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"

namespace {

using namespace zarvo;

// A file image written field by field.
struct Image {
    std::string b;
    explicit Image(std::size_t size = 0) : b(size, '\0') {}
    Image& put(std::size_t at, std::string_view s) {
        if (b.size() < at + s.size()) b.resize(at + s.size(), '\0');
        b.replace(at, s.size(), s);
        return *this;
    }
    Image& le(std::size_t at, std::uint64_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return put(at, s);
    }
    Image& be(std::size_t at, std::uint64_t v, int n) {
        std::string s;
        for (int i = n; i-- > 0;) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return put(at, s);
    }
};

struct Answer {
    std::string candidates, detail;
    std::size_t spent;
};

Answer identify(const std::string& bytes, std::string_view ext = {}) {
    current::Probe probe = current::Probe::of_bytes(bytes, ext);
    Context ctx;
    ctx.options = kCurrent;
    ctx.file_size = bytes.size();
    std::string candidates = current::identify(probe, ctx);
    return {candidates, candidates.empty() ? std::string() : ctx.detail, probe.spent()};
}

// ---- ELF ----------------------------------------------------------------------------

constexpr std::uint64_t kInterp = 3, kDynamic = 2;

struct Segment {
    std::uint64_t type;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> dynamic;  // tag, value (for PT_DYNAMIC)
};

// A 64-bit little-endian x86-64 header with its program headers at 64 and
// the dynamic section, when there is one, at 0x800.
std::string elf64(int type, std::vector<Segment> segments = {}) {
    Image img(0x1000);
    img.put(0, "\x7F" "ELF").put(4, "\x02\x01\x01");
    img.le(16, type, 2).le(18, 62, 2).le(20, 1, 4).le(32, 64, 8).le(52, 64, 2).le(54, 56, 2).le(56, segments.size(), 2);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        std::size_t ph = 64 + 56 * i;
        img.le(ph, segments[i].type, 4);
        if (segments[i].type == kDynamic) {
            std::size_t at = 0x800;
            for (auto [tag, value] : segments[i].dynamic) img.le(at, tag, 8).le(at + 8, value, 8), at += 16;
            img.le(ph + 8, 0x800, 8).le(ph + 32, at + 16 - 0x800, 8);
        }
    }
    return img.b;
}

// A 32-bit big-endian header (MIPS unless told).
std::string elf32be(int type, int machine = 8) {
    Image img(52);
    img.put(0, "\x7F" "ELF").put(4, "\x01\x02\x01");
    img.be(16, type, 2).be(18, machine, 2).be(20, 1, 4).be(40, 52, 2);
    return img.b;
}

constexpr std::uint64_t kSoname = 14, kFlags1 = 0x6ffffffb, kPie = 0x08000000;

TEST(CurrentPrograms, ElfKindsByTypeAndDynamicSection) {
    struct Case {
        const char* what;
        std::string file;
        const char* candidates;
        const char* detail;
    } cases[] = {
        {"fixed-address executable", elf64(2), "elf,out,axf", "ELF 64-bit little-endian x86-64 executable"},
        {"PIE flagged in the dynamic section", elf64(3, {{kInterp, {}}, {kDynamic, {{kFlags1, kPie}}}}), "elf,out,axf,so",
         "ELF 64-bit little-endian x86-64 position-independent executable"},
        {"interpreter, no library name", elf64(3, {{kInterp, {}}, {kDynamic, {{1, 5}}}}), "elf,out,axf,so",
         "ELF 64-bit little-endian x86-64 position-independent executable"},
        {"interpreter and a library name (a runnable library)", elf64(3, {{kInterp, {}}, {kDynamic, {{kSoname, 1}}}}), "so",
         "ELF 64-bit little-endian x86-64 shared object"},
        {"no interpreter", elf64(3, {{kDynamic, {{kSoname, 1}}}}), "so", "ELF 64-bit little-endian x86-64 shared object"},
        {"relocatable object", elf32be(1), "o,ko,obj", "ELF 32-bit big-endian MIPS relocatable object"},
        {"core dump", elf64(4), "core", "ELF 64-bit little-endian x86-64 core dump"},
        {"unknown machine", elf32be(2, 0x1234), "elf,out,axf", "ELF 32-bit big-endian machine 0x1234 executable"},
    };
    for (const Case& c : cases) {
        Answer a = identify(c.file);
        EXPECT_EQ(a.candidates, c.candidates) << c.what;
        EXPECT_EQ(a.detail, c.detail) << c.what;
    }
}

TEST(CurrentPrograms, ElfNearMissesAndHostileHeaders) {
    std::string bad_class = elf64(2), bad_order = elf64(2), bad_version = elf64(2), bad_type = elf64(2);
    bad_class[4] = 3;
    bad_order[5] = 0;
    bad_version[6] = 2;
    bad_type[16] = 9;
    for (const std::string& f : {bad_class, bad_order, bad_version, bad_type, elf64(2).substr(0, 40)})
        EXPECT_EQ(identify(f).candidates, "");

    // Absurd program header sizes and counts, offsets past the end: the walk
    // stays in bounds and within the budget, and the type still answers.
    Image huge(0x100);
    huge.put(0, elf64(3).substr(0, 64));
    huge.le(32, 0xFFFFFFFFFFFF0000ull, 8).le(54, 0xFFFF, 2).le(56, 0xFFFF, 2);
    Image many(0x100);
    many.put(0, elf64(3).substr(0, 64));
    many.le(54, 56, 2).le(56, 0xFFFF, 2);
    Image dyn_far(0);
    dyn_far.put(0, elf64(3, {{kInterp, {}}, {kDynamic, {{kFlags1, kPie}}}}));
    dyn_far.le(64 + 56 + 8, 0x7FFFFFFFFFFFFFFFull, 8).le(64 + 56 + 32, 0xFFFFFFFFFFFFFFFFull, 8);
    for (const Image& f : {huge, many, dyn_far}) {
        Answer a = identify(f.b);
        EXPECT_EQ(a.candidates, f.b.size() == 0x100 ? "so" : "elf,out,axf,so");
        EXPECT_LE(a.spent, current::kBudget);
    }
}

// ---- Mach-O and CAFEBABE ------------------------------------------------------------

std::string thin_le64(std::uint32_t cpu, std::uint32_t type) {
    Image img(32);
    img.be(0, 0xCFFAEDFE, 4).le(4, cpu, 4).le(12, type, 4);
    return img.b;
}

std::string universal(std::uint32_t count, std::vector<std::pair<std::uint32_t, std::uint32_t>> arches) {
    Image img(8);
    img.be(0, 0xCAFEBABE, 4).be(4, count, 4);
    for (std::size_t i = 0; i < arches.size(); ++i) {
        auto [cpu, offset] = arches[i];
        img.be(8 + 20 * i, cpu, 4).be(8 + 20 * i + 8, offset, 4).be(8 + 20 * i + 12, 32, 4).be(8 + 20 * i + 16, 12, 4);
        img.put(offset, thin_le64(cpu, 2));
    }
    return img.b;
}

std::string class_file(std::uint32_t minor, std::uint32_t major) {
    Image img(16);
    img.be(0, 0xCAFEBABE, 4).be(4, minor, 2).be(6, major, 2).be(8, 20, 2);
    return img.b;
}

TEST(CurrentPrograms, MachOAndJavaClassesApart) {
    Image ppc(28);
    ppc.be(0, 0xFEEDFACE, 4).be(4, 18, 4).be(12, 2, 4);
    struct Case {
        const char* what;
        std::string file;
        const char* candidates;
        const char* detail;
    } cases[] = {
        {"32-bit big-endian executable", ppc.b, "macho", "Mach-O 32-bit big-endian PowerPC executable"},
        {"64-bit dylib", thin_le64(0x0100000C, 6), "dylib", "Mach-O 64-bit little-endian arm64 dynamic library"},
        {"bundle", thin_le64(0x01000007, 8), "bundle,so", "Mach-O 64-bit little-endian x86-64 bundle"},
        {"object", thin_le64(0x01000007, 1), "o", "Mach-O 64-bit little-endian x86-64 object"},
        {"universal", universal(2, {{0x01000007, 0x1000}, {0x0100000C, 0x2000}}), "macho",
         "Mach-O universal executable: x86-64, arm64"},
        {"Java 1.1", class_file(3, 45), "class", "Java 1.1 (class file version 45.3)"},
        {"Java 8", class_file(0, 52), "class", "Java 8 (class file version 52.0)"},
        {"Java 21 preview", class_file(0xFFFF, 65), "class", "Java 21 (class file version 65.65535), preview features"},
        // none of these hold together
        {"2^32 - 1 architectures", universal(0xFFFFFFFF, {}), "", ""},
        {"architectures past the end", universal(3, {{0x01000007, 0x1000}}).substr(0, 40), "", ""},
        {"architecture inside the header", Image().put(0, universal(1, {{0x01000007, 0x1000}})).be(16, 8, 4).b, "", ""},
        {"architecture not Mach-O", universal(1, {{7, 0x1000}}).substr(0, 0x1000) + std::string(64, 'x'), "", ""},
        {"class major before 45", class_file(0, 44), "", ""},
        {"class major far ahead", class_file(0, 200), "", ""},
        {"unknown Mach-O file type", thin_le64(7, 77), "", ""},
    };
    for (const Case& c : cases) {
        Answer a = identify(c.file);
        EXPECT_EQ(a.candidates, c.candidates) << c.what;
        EXPECT_EQ(a.detail, c.detail) << c.what;
        EXPECT_LE(a.spent, current::kBudget) << c.what;
    }
}

// ---- PE -------------------------------------------------------------------------------

struct Pe {
    std::uint32_t lfanew = 0x80, machine = 0x8664, characteristics = 0x22, subsystem = 3, optional_size = 240;
    bool plus = true, clr = false;
    std::uint32_t sections = 4;
};

std::string pe(const Pe& p) {
    Image img(0x400);
    img.put(0, "MZ").le(0x3C, p.lfanew, 4);
    std::size_t h = p.lfanew;
    img.put(h, std::string("PE\0\0", 4)).le(h + 4, p.machine, 2).le(h + 6, p.sections, 2);
    img.le(h + 20, p.optional_size, 2).le(h + 22, p.characteristics, 2);
    std::size_t opt = h + 24;
    img.le(opt, p.plus ? 0x20B : 0x10B, 2).le(opt + 68, p.subsystem, 2);
    std::size_t count = p.plus ? 108 : 92, dirs = p.plus ? 112 : 96;
    img.le(opt + count, 16, 4);
    if (p.clr) img.le(opt + dirs + 8 * 14, 0x2000, 4).le(opt + dirs + 8 * 14 + 4, 72, 4);
    return img.b;
}

TEST(CurrentPrograms, PortableExecutablesByCharacteristicsAndSubsystem) {
    struct Case {
        const char* what;
        Pe p;
        const char* candidates;
        const char* detail;
    } cases[] = {
        {"console program", {}, "exe,scr", "PE32+ x86-64, Windows console"},
        {"GUI program, 32-bit", {.machine = 0x14C, .subsystem = 2, .optional_size = 224, .plus = false}, "exe,scr",
         "PE32 Intel 386, Windows GUI"},
        {"library", {.characteristics = 0x2022, .subsystem = 2}, "dll,ocx,cpl,ax", "PE32+ x86-64, Windows GUI, DLL"},
        {"EFI application", {.machine = 0xAA64, .subsystem = 10}, "efi", "PE32+ ARM64, EFI application"},
        {"EFI runtime driver", {.characteristics = 0x2022, .subsystem = 12}, "efi", "PE32+ x86-64, EFI runtime driver, DLL"},
        {"driver", {.subsystem = 1}, "sys,exe", "PE32+ x86-64, native"},
        {".NET assembly", {.machine = 0x14C, .optional_size = 224, .plus = false, .clr = true}, "exe,scr",
         "PE32 Intel 386, Windows console, .NET assembly"},
        {"huge section count", {.sections = 0xFFFF}, "exe,scr", "PE32+ x86-64, Windows console"},
        {"header beyond the head", {.lfanew = 0x2000}, "exe,scr", "PE32+ x86-64, Windows console"},
    };
    for (const Case& c : cases) {
        Answer a = identify(pe(c.p));
        EXPECT_EQ(a.candidates, c.candidates) << c.what;
        EXPECT_EQ(a.detail, c.detail) << c.what;
    }
}

TEST(CurrentPrograms, PortableExecutableHostileOffsetsLeaveTheAnswerToTheClassicTables) {
    std::string past_end = pe({});
    past_end[0x3C] = '\x00', past_end[0x3D] = '\x00', past_end[0x3E] = '\x10', past_end[0x3F] = '\x00';  // 1 MiB
    std::string negative = pe({});
    past_end.resize(0x400);
    negative[0x3F] = '\x80';
    std::string dos = pe({});
    dos[0x80] = 'N';  // "NE": not a PE header
    for (const std::string& f : {past_end, negative, dos, pe({.optional_size = 0}), pe({}).substr(0, 0x90),
                                 std::string("MZ")}) {
        Answer a = identify(f);
        EXPECT_EQ(a.candidates, "");
        EXPECT_LE(a.spent, current::kBudget);
    }
}

// ---- bytecode ------------------------------------------------------------------------

TEST(CurrentPrograms, Bytecode) {
    auto with = [](std::string_view start, std::size_t size = 32) { return Image(size).put(0, start).b; };
    struct Case {
        const char* what;
        std::string file;
        const char* candidates;
        const char* detail;
    } cases[] = {
        {"wasm module", with(std::string("\0asm\x01\0\0\0", 8)), "wasm", "WebAssembly module, version 1"},
        {"wasm component", with(std::string("\0asm\x0D\0\x01\0", 8)), "wasm", "WebAssembly component, version 13"},
        {"wasm version 2", with(std::string("\0asm\x02\0\0\0", 8)), "", ""},
        {"dex", with(std::string("dex\n035\0", 8), 112), "dex", "Dalvik executable, version 035"},
        {"dex without digits", with(std::string("dex\nabc\0", 8), 112), "", ""},
        {"pyc 3.12", with(std::string("\xCB\x0D\r\n\0\0\0\0", 8)), "pyc,pyo", "Python 3.12 (magic 3531)"},
        {"pyc 3.13", with(std::string("\xF3\x0D\r\n\x01\0\0\0", 8)), "pyc,pyo", "Python 3.13 (magic 3571)"},
        {"pyc 3.6", with(std::string("\x33\x0D\r\n", 4)), "pyc,pyo", "Python 3.6 (magic 3379)"},
        {"pyc 2.7", with(std::string("\x03\xF3\r\n", 4)), "pyc,pyo", "Python 2.7 (magic 62211)"},
        {"pyc flags word out of range", with(std::string("\xCB\x0D\r\n\x07\0\0\0", 8)), "", ""},
        {"pyc between release lines", with(std::string("\x44\x0C\r\n", 4)), "", ""},  // 3140
        {"pyc truncated", std::string("\xCB\x0D\r\n\0\0", 6), "", ""},
        {"Lua 5.1", with("\x1BLua\x51"), "luac,out,lua", "Lua 5.1 bytecode"},
        {"Lua 5.4", with("\x1BLua\x54"), "luac,out,lua", "Lua 5.4 bytecode"},
        {"Lua, unknown format", with("\x1BLua\x54\x01"), "", ""},
    };
    for (const Case& c : cases) {
        Answer a = identify(c.file);
        EXPECT_EQ(a.candidates, c.candidates) << c.what;
        EXPECT_EQ(a.detail, c.detail) << c.what;
    }
}

}  // namespace
