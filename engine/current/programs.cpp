// The current-formats layer: executables and bytecode.
//
// Every row starts with its kind's magic number at byte 0 (byte 2 for
// Python bytecode), so the table's first-byte filing turns it down for
// other files; the computing rows then read their headers, bounded, and
// answer nothing where a header does not hold together.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "current/bytes.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

struct Named {
    std::uint32_t code;
    std::string_view name;
};

template <std::size_t N>
std::string name_of(const std::array<Named, N>& names, std::uint32_t code, std::string_view prefix) {
    for (const Named& n : names)
        if (n.code == code) return std::string(n.name);
    char unknown[32];
    std::snprintf(unknown, sizeof unknown, "%.8s 0x%X", prefix.data(), static_cast<unsigned>(code));
    return unknown;
}

// ---- ELF ---------------------------------------------------------------------

constexpr std::array<Named, 27> kElfMachines{{
    {2, "SPARC"},        {3, "Intel 80386"},   {4, "Motorola 68000"}, {8, "MIPS"},
    {15, "PA-RISC"},     {20, "PowerPC"},      {21, "PowerPC64"},     {22, "S/390"},
    {40, "ARM"},         {41, "Alpha"},        {42, "SuperH"},        {43, "SPARC V9"},
    {50, "IA-64"},       {62, "x86-64"},       {83, "AVR"},           {93, "ARC"},
    {94, "Xtensa"},      {105, "MSP430"},      {164, "Hexagon"},      {183, "AArch64"},
    {243, "RISC-V"},     {247, "BPF"},         {258, "LoongArch"},    {6, "Intel 80486"},
    {7, "Intel 80860"},  {10, "MIPS RS3000 LE"}, {0x9026, "Alpha"},
}};

// Where the fields of an ELF header stand, by class.
struct ElfLayout {
    std::size_t phoff, phoff_size, ehsize_at, phentsize_at, phnum_at;
    std::size_t header_size, ph_size, p_offset, p_filesz, word;
};
constexpr ElfLayout kElf32{28, 4, 40, 42, 44, 52, 32, 4, 16, 4};
constexpr ElfLayout kElf64{32, 8, 52, 54, 56, 64, 56, 8, 32, 8};

constexpr std::uint64_t kPtDynamic = 2, kPtInterp = 3;
constexpr std::uint64_t kDtSoname = 14, kDtFlags1 = 0x6ffffffb, kDf1Pie = 0x08000000;
constexpr std::size_t kMostProgramHeaders = 64;
constexpr std::uint64_t kLargestProgramHeader = 256;
constexpr std::size_t kMostDynamicBytes = 4096;

// What an ET_DYN file's program headers and dynamic section say: a
// position-independent executable (flagged so, or with an interpreter and no
// library name of its own) or a shared object.
bool elf_is_pie(Probe& probe, std::string_view h, const ElfLayout& l, bool little) {
    auto num = [little](std::string_view b, std::size_t at, std::size_t n) {
        return little ? bytes::le(b, at, n) : bytes::be(b, at, n);
    };
    std::uint64_t phoff = num(h, l.phoff, l.phoff_size);
    std::uint64_t phentsize = num(h, l.phentsize_at, 2);
    std::uint64_t phnum = std::min<std::uint64_t>(num(h, l.phnum_at, 2), kMostProgramHeaders);
    if (phoff == 0 || phentsize < l.ph_size || phentsize > kLargestProgramHeader || phnum == 0) return false;
    std::string_view table = probe.read(phoff, static_cast<std::size_t>(phentsize * phnum));
    bool interp = false;
    std::uint64_t dyn_offset = 0, dyn_size = 0;
    for (std::uint64_t i = 0; i < phnum; ++i) {
        std::size_t at = static_cast<std::size_t>(i * phentsize);
        if (!bytes::has(table, at, l.ph_size)) break;
        std::uint64_t type = num(table, at, 4);
        if (type == kPtInterp) interp = true;
        if (type == kPtDynamic) {
            dyn_offset = num(table, at + l.p_offset, l.word);
            dyn_size = num(table, at + l.p_filesz, l.word);
        }
    }
    bool soname = false;
    if (dyn_offset != 0 && dyn_size != 0) {
        std::string_view dyn = probe.read(dyn_offset, static_cast<std::size_t>(std::min<std::uint64_t>(dyn_size, kMostDynamicBytes)));
        for (std::size_t at = 0; bytes::has(dyn, at, 2 * l.word); at += 2 * l.word) {
            std::uint64_t tag = num(dyn, at, l.word);
            if (tag == 0) break;
            if (tag == kDtSoname) soname = true;
            if (tag == kDtFlags1 && (num(dyn, at + l.word, l.word) & kDf1Pie)) return true;
        }
    }
    return interp && !soname;
}

std::string elf(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head();
    unsigned cls = bytes::u8(h, 4), order = bytes::u8(h, 5), version = bytes::u8(h, 6);
    if ((cls != 1 && cls != 2) || (order != 1 && order != 2) || version != 1) return {};
    const ElfLayout& l = cls == 1 ? kElf32 : kElf64;
    bool little = order == 1;
    if (!bytes::has(h, 0, l.header_size)) return {};
    auto num = [&](std::size_t at, std::size_t n) { return little ? bytes::le(h, at, n) : bytes::be(h, at, n); };
    std::uint64_t type = num(16, 2), machine = num(18, 2);
    std::string answer, kind;
    switch (type) {
        case 1: answer = "o,ko,obj"; kind = "relocatable object"; break;
        case 2: answer = "elf,out,axf"; kind = "executable"; break;
        case 3:
            // A position-independent executable can be loaded as a library
            // too (some modules are runnable): "so" stays among its names.
            if (elf_is_pie(probe, h, l, little)) {
                answer = "elf,out,axf,so";
                kind = "position-independent executable";
            } else {
                answer = "so";
                kind = "shared object";
            }
            break;
        case 4: answer = "core"; kind = "core dump"; break;
        default: return {};
    }
    ctx.detail = "ELF " + std::string(cls == 1 ? "32-bit" : "64-bit") + (little ? " little-endian " : " big-endian ") +
                 name_of(kElfMachines, static_cast<std::uint32_t>(machine), "machine") + " " + kind;
    return answer;
}

// ---- Mach-O -------------------------------------------------------------------

constexpr std::uint32_t kAbi64 = 0x01000000;
constexpr std::array<Named, 10> kMachCpus{{
    {7, "i386"},        {7 | kAbi64, "x86-64"},  {12, "ARM"},   {12 | kAbi64, "arm64"}, {0x0200000C, "arm64_32"},
    {18, "PowerPC"},    {18 | kAbi64, "PowerPC64"}, {6, "m68k"}, {14, "SPARC"},         {10, "m88k"},
}};

struct MachType {
    std::uint32_t code;
    std::string_view answer, kind;
};
constexpr std::array<MachType, 7> kMachTypes{{
    {1, "o", "object"},            {2, "macho", "executable"}, {4, "core", "core dump"},
    {6, "dylib", "dynamic library"}, {7, "dylib", "dynamic linker"}, {8, "bundle,so", "bundle"},
    {9, "dylib", "dynamic library stub"},
}};

// A thin Mach-O header at the start of `b`: its type, or nothing.
const MachType* mach_type(std::string_view b, bool* little, bool* wide, std::uint32_t* cpu) {
    std::uint32_t magic = bytes::be32(b, 0);
    switch (magic) {
        case 0xFEEDFACE: *little = false; *wide = false; break;
        case 0xCEFAEDFE: *little = true; *wide = false; break;
        case 0xFEEDFACF: *little = false; *wide = true; break;
        case 0xCFFAEDFE: *little = true; *wide = true; break;
        default: return nullptr;
    }
    if (!bytes::has(b, 0, *wide ? 32 : 28)) return nullptr;
    auto num = [&](std::size_t at) { return *little ? bytes::le32(b, at) : bytes::be32(b, at); };
    *cpu = num(4);
    std::uint32_t type = num(12);
    for (const MachType& t : kMachTypes)
        if (t.code == type) return &t;
    return nullptr;
}

std::string mach_o(const HexImage&, Context& ctx) {
    bool little = false, wide = false;
    std::uint32_t cpu = 0;
    const MachType* t = mach_type(probe_of(ctx).head(), &little, &wide, &cpu);
    if (!t) return {};
    ctx.detail = "Mach-O " + std::string(wide ? "64-bit" : "32-bit") + (little ? " little-endian " : " big-endian ") +
                 name_of(kMachCpus, cpu, "cpu") + " " + std::string(t->kind);
    return std::string(t->answer);
}

// ---- CAFEBABE: universal Mach-O or Java class ------------------------------------

// A universal binary's architecture count is small; a class file's minor and
// major version read as one number is at least 45 (the first major version).
constexpr std::uint32_t kFirstClassMajor = 45, kLastClassMajor = 80;
constexpr std::uint32_t kMostArchitectures = 32;

std::string java_class(std::string_view h, Context& ctx) {
    std::uint32_t minor = bytes::be16(h, 4), major = bytes::be16(h, 6);
    if (!bytes::has(h, 0, 10) || major < kFirstClassMajor || major > kLastClassMajor) return {};
    std::string java;
    if (major <= 48) java = major == 45 ? "1.1" : "1." + std::to_string(major - 44);  // 46: 1.2 ... 48: 1.4
    else java = std::to_string(major - 44);                                            // 49: 5, 52: 8, 65: 21
    ctx.detail = "Java " + java + " (class file version " + std::to_string(major) + "." + std::to_string(minor) + ")";
    if (minor == 0xFFFF) ctx.detail += ", preview features";
    return "class";
}

std::string universal(std::string_view h, Context& ctx, bool wide_entries) {
    std::uint32_t count = bytes::be32(h, 4);
    std::size_t entry = wide_entries ? 32 : 20;
    if (count == 0 || count > kMostArchitectures || !bytes::has(h, 8, entry * count)) return {};
    std::string cpus;
    std::uint64_t first_offset = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t at = 8 + i * entry;
        std::uint64_t offset = wide_entries ? bytes::be64(h, at + 8) : bytes::be32(h, at + 8);
        if (offset < 8 + entry * count) return {};  // an architecture inside the header
        if (i == 0) first_offset = offset;
        if (!cpus.empty()) cpus += ", ";
        cpus += name_of(kMachCpus, bytes::be32(h, at), "cpu");
    }
    bool little = false, wide = false;
    std::uint32_t cpu = 0;
    const MachType* t = mach_type(probe_of(ctx).read(first_offset, 32), &little, &wide, &cpu);
    if (!t) return {};
    ctx.detail = "Mach-O universal " + std::string(t->kind) + ": " + cpus;
    return std::string(t->answer);
}

std::string cafebabe(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    return bytes::be32(h, 4) < kFirstClassMajor ? universal(h, ctx, false) : java_class(h, ctx);
}

std::string universal64(const HexImage&, Context& ctx) { return universal(probe_of(ctx).head(), ctx, true); }

// ---- PE -------------------------------------------------------------------------

constexpr std::array<Named, 15> kPeMachines{{
    {0x14C, "Intel 386"}, {0x8664, "x86-64"}, {0x1C0, "ARM"},       {0x1C2, "ARM Thumb"},  {0x1C4, "ARM Thumb-2"},
    {0xAA64, "ARM64"},    {0xA641, "ARM64EC"}, {0x200, "IA-64"},     {0x5032, "RISC-V 32"}, {0x5064, "RISC-V 64"},
    {0xEBC, "EFI byte code"}, {0x6264, "LoongArch64"}, {0x166, "MIPS"}, {0x1F0, "PowerPC"}, {0x1A2, "SuperH-3"},
}};
constexpr std::array<Named, 14> kPeSubsystems{{
    {1, "native"},       {2, "Windows GUI"},  {3, "Windows console"},   {5, "OS/2 console"},
    {7, "POSIX console"}, {8, "native Windows 9x driver"}, {9, "Windows CE GUI"}, {10, "EFI application"},
    {11, "EFI boot service driver"}, {12, "EFI runtime driver"}, {13, "EFI ROM"}, {14, "Xbox"},
    {16, "Windows boot application"}, {0, "no subsystem"},
}};

constexpr std::uint32_t kDllFlag = 0x2000;
constexpr std::size_t kClrDirectory = 14;

std::string portable(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head();
    std::uint32_t lfanew = bytes::le32(h, 0x3C);
    if (!bytes::has(h, 0, 0x40) || lfanew < 4 || lfanew >= probe.size()) return {};  // negative reads as huge
    constexpr std::size_t kCoff = 24, kMostOptional = 240;
    std::string_view pe = probe.read(lfanew, kCoff + kMostOptional);
    if (!bytes::has(pe, 0, kCoff) || !bytes::at(pe, 0, std::string_view("PE\0\0", 4))) return {};
    std::uint32_t machine = bytes::le16(pe, 4), optional_size = bytes::le16(pe, 20), characteristics = bytes::le16(pe, 22);
    std::string_view opt = pe.substr(kCoff, std::min<std::size_t>(optional_size, pe.size() - kCoff));
    std::uint32_t magic = bytes::le16(opt, 0);
    if ((magic != 0x10B && magic != 0x20B) || !bytes::has(opt, 0, 72)) return {};
    bool plus = magic == 0x20B;
    std::uint32_t subsystem = bytes::le16(opt, 68);
    std::size_t count_at = plus ? 108 : 92, dirs_at = plus ? 112 : 96;
    bool clr = bytes::le32(opt, count_at) > kClrDirectory && bytes::has(opt, dirs_at + 8 * kClrDirectory, 8) &&
               bytes::le32(opt, dirs_at + 8 * kClrDirectory) != 0;
    std::string answer;
    if (subsystem >= 10 && subsystem <= 13) answer = "efi";
    else if (characteristics & kDllFlag) answer = "dll,ocx,cpl,ax";
    else if (subsystem == 1) answer = "sys,exe";
    else answer = "exe,scr";
    ctx.detail = std::string(plus ? "PE32+ " : "PE32 ") + name_of(kPeMachines, machine, "machine") + ", " +
                 name_of(kPeSubsystems, subsystem, "subsystem") +
                 ((characteristics & kDllFlag) ? ", DLL" : "") + (clr ? ", .NET assembly" : "");
    return answer;
}

// ---- bytecode ---------------------------------------------------------------------

std::string wasm(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    if (!bytes::has(h, 0, 8)) return {};
    std::uint32_t version = bytes::le16(h, 4), layer = bytes::le16(h, 6);
    if (layer == 0 && version == 1) ctx.detail = "WebAssembly module, version 1";
    else if (layer == 1) ctx.detail = "WebAssembly component, version " + std::to_string(version);
    else return {};
    return "wasm";
}

std::string dex(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::string_view v = h.substr(std::min<std::size_t>(4, h.size()), 4);
    if (v.size() != 4 || v[3] != '\0' || !std::all_of(v.begin(), v.end() - 1, [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    ctx.detail = "Dalvik executable, version " + std::string(v.substr(0, 3));
    return "dex";
}

// CPython's bytecode magic numbers: each release line's range.
struct PythonMagic {
    std::uint32_t lo, hi;
    std::string_view version;
};
constexpr std::array<PythonMagic, 24> kPythonMagics{{
    {50823, 50823, "2.0"}, {60202, 60202, "2.1"}, {60717, 60717, "2.2"}, {62011, 62021, "2.3"},
    {62041, 62061, "2.4"}, {62071, 62131, "2.5"}, {62151, 62161, "2.6"}, {62171, 62211, "2.7"},
    {3000, 3131, "3.0"},   {3141, 3151, "3.1"},   {3160, 3180, "3.2"},   {3190, 3230, "3.3"},
    {3250, 3310, "3.4"},   {3320, 3351, "3.5"},   {3360, 3379, "3.6"},   {3390, 3394, "3.7"},
    {3400, 3413, "3.8"},   {3420, 3425, "3.9"},   {3430, 3439, "3.10"},  {3450, 3495, "3.11"},
    {3500, 3531, "3.12"},  {3550, 3571, "3.13"},  {3600, 3649, "3.14"},  {20121, 20121, "1.5"},
}};
constexpr std::uint32_t kFirstFlaggedMagic = 3390;  // 3.7 on: a flags word follows the magic

std::string pyc(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    std::uint32_t magic = bytes::le16(h, 0);
    for (const PythonMagic& m : kPythonMagics) {
        if (magic < m.lo || magic > m.hi) continue;
        bool flagged = magic >= kFirstFlaggedMagic && magic < 10000;
        if (!bytes::has(h, 0, flagged ? 16 : 8) || (flagged && bytes::le32(h, 4) > 3)) return {};
        ctx.detail = "Python " + std::string(m.version) + " (magic " + std::to_string(magic) + ")";
        return "pyc,pyo";
    }
    return {};
}

std::string lua(const HexImage&, Context& ctx) {
    std::string_view h = probe_of(ctx).head();
    unsigned version = bytes::u8(h, 4);
    if (!bytes::has(h, 0, 12) || version < 0x50 || version > 0x55 || bytes::u8(h, 5) != 0) return {};
    ctx.detail = "Lua " + std::to_string(version >> 4) + "." + std::to_string(version & 15) + " bytecode";
    return "luac,out,lua";
}

}  // namespace

const Table& programs_table() {
    static const Table rows = {
        // row  tests                                        answer
        {"1",  {at(0, "7F454C46")},                          elf},
        {"2",  {at_one_of(0, {"FEEDFACE", "CEFAEDFE", "FEEDFACF", "CFFAEDFE"})}, mach_o},
        {"3",  {at(0, "CAFEBABE")},                          cafebabe},
        {"4",  {at(0, "CAFEBABF")},                          universal64},
        {"5",  {at(0, "4D5A")},                              portable},
        {"6",  {at(0, "0061736D")},                          wasm},
        {"7",  {at(0, "6465780A")},                          dex},
        // row 8: not the pcapng block type, whose bytes read as a 3.5 number
        {"8",  {at(2, "0D0A"), not_at(0, "0A0D")},           pyc},
        {"9",  {at(0, "1B4C7561")},                          lua},
    };
    return rows;
}

}  // namespace zarvo::current
