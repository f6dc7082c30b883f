// The text group's scripts (by their #! line) and source code (by scored
// features: words and marks of each language, at the start or end of a line
// or anywhere, counted once per kind of feature up to a cap).
#include <array>
#include <cstdint>
#include <span>

#include "current/text_kinds.hpp"
#include "current/text_lines.hpp"

namespace zarvo::current::textkind {

namespace {

// ---- scripts ------------------------------------------------------------------

struct Interpreter {
    std::string_view name;  // without its version digits
    std::string_view exts;
};
constexpr std::array<Interpreter, 27> kInterpreters{{
    {"sh", "sh"}, {"dash", "sh"}, {"ash", "sh"}, {"bash", "sh,bash"}, {"zsh", "zsh,sh"}, {"ksh", "ksh,sh"},
    {"mksh", "ksh,sh"}, {"fish", "fish"}, {"csh", "csh"}, {"tcsh", "csh,tcsh"}, {"python", "py"}, {"pypy", "py"},
    {"perl", "pl,pm"}, {"ruby", "rb"}, {"node", "js,mjs,cjs"}, {"nodejs", "js,mjs,cjs"}, {"php", "php"},
    {"lua", "lua"}, {"luajit", "lua"}, {"tclsh", "tcl"}, {"wish", "tcl"}, {"awk", "awk"}, {"gawk", "awk"},
    {"mawk", "awk"}, {"Rscript", "r"}, {"pwsh", "ps1"}, {"powershell", "ps1"}}};

// ---- source code ----------------------------------------------------------------

enum Lang : std::uint8_t {
    kPy, kJs, kTs, kC, kCpp, kCs, kJava, kKt, kGo, kRs, kSwift, kPhp, kRb, kPl, kLua, kR, kSh, kPs, kBat,
    kCss, kScss, kAsm, kHs, kScala, kDart, kEx, kZig, kLangs
};
constexpr std::array<std::string_view, kLangs> kExts = {
    "py", "js,mjs,cjs", "ts", "c", "cpp,cc,cxx", "cs", "java", "kt,kts", "go", "rs", "swift", "php", "rb", "pl,pm",
    "lua", "r", "sh,bash", "ps1,psm1", "bat,cmd", "css", "scss", "s,asm", "hs", "scala", "dart", "ex,exs", "zig"};

enum Where : std::uint8_t { kAny, kStart, kEnd };

struct Weight {
    Lang lang;
    std::int8_t w;
};
struct Feature {
    std::string_view token;
    Where where;
    Weight weights[20];  // the rest weigh nothing
};

// Words at the start of a line (after indentation), at its end, or anywhere.
// A mark at the start of a line joins the word after it (#include, @echo);
// '@' joins its word anywhere (annotations, decorators).
std::span<const Feature> features() {
    static const Feature kFeatures[] = {
        // Comment marks at the start of a line
        {"#", kStart, {{kPy, 1}, {kSh, 1}, {kRb, 1}, {kPl, 1}, {kR, 1}, {kPs, 1}}},
        {"//", kStart, {{kC, 1}, {kCpp, 1}, {kJs, 1}, {kTs, 1}, {kJava, 1}, {kCs, 1}, {kGo, 1}, {kRs, 1}, {kKt, 1}, {kSwift, 1}, {kPhp, 1}, {kScala, 1}, {kDart, 1}, {kZig, 2}, {kScss, 1}}},
        {"/*", kStart, {{kC, 1}, {kCpp, 1}, {kJs, 1}, {kTs, 1}, {kJava, 1}, {kCs, 1}, {kCss, 1}, {kScss, 1}, {kPhp, 1}, {kGo, 1}, {kKt, 1}}},
        {"--", kStart, {{kLua, 2}, {kHs, 2}}},
        // Python
        {"def", kStart, {{kPy, 3}, {kRb, 3}, {kScala, 2}, {kEx, 2}}},
        {"import", kStart, {{kPy, 2}, {kJava, 2}, {kKt, 2}, {kGo, 1}, {kJs, 1}, {kTs, 1}, {kScala, 2}, {kSwift, 2}, {kDart, 2}, {kHs, 2}}},
        {"from", kStart, {{kPy, 4}}},
        {"elif", kStart, {{kPy, 4}}},
        {"self", kAny, {{kPy, 2}, {kRb, 1}, {kSwift, 1}, {kRs, 1}}},
        {":", kEnd, {{kPy, 2}, {kCss, -2}, {kScss, -2}}},
        {"None", kAny, {{kPy, 3}}},
        {"True", kAny, {{kPy, 2}}},
        {"False", kAny, {{kPy, 2}}},
        {"__name__", kAny, {{kPy, 4}}},
        {"__init__", kAny, {{kPy, 4}}},
        {"@property", kStart, {{kPy, 3}}},
        {"except", kStart, {{kPy, 4}}},
        {"raise", kStart, {{kPy, 3}, {kRb, 2}}},
        {"lambda", kAny, {{kPy, 2}}},
        {"print", kAny, {{kPy, 1}, {kPl, 1}}},
        {"\"\"\"", kAny, {{kPy, 4}}},
        {"with", kStart, {{kPy, 2}}},
        {"pass", kStart, {{kPy, 3}}},
        // JavaScript and TypeScript
        {"function", kAny, {{kJs, 2}, {kTs, 1}, {kPhp, 2}, {kLua, 2}, {kR, 1}, {kSh, 1}, {kPs, 1}}},
        {"const", kStart, {{kJs, 3}, {kTs, 3}, {kZig, 2}, {kDart, 1}}},
        {"let", kStart, {{kJs, 3}, {kTs, 3}, {kSwift, 2}, {kRs, 2}}},
        {"var", kStart, {{kJs, 3}, {kTs, 1}, {kSwift, 1}, {kKt, 1}, {kGo, 1}, {kCs, 1}, {kDart, 1}}},
        {"=>", kAny, {{kJs, 2}, {kTs, 2}, {kCs, 1}, {kScala, 2}, {kDart, 1}, {kPhp, 1}, {kRs, 1}}},
        {"===", kAny, {{kJs, 4}, {kTs, 3}, {kPhp, 2}}},
        {"!==", kAny, {{kJs, 3}, {kTs, 3}, {kPhp, 2}}},
        {"require", kAny, {{kJs, 2}, {kRb, 2}, {kLua, 2}, {kPhp, 1}, {kPl, 1}}},
        {"module", kAny, {{kJs, 1}, {kRb, 1}, {kHs, 1}}},
        {"exports", kAny, {{kJs, 4}, {kTs, 1}}},
        {"export", kStart, {{kJs, 3}, {kTs, 3}, {kSh, 1}}},
        {"console", kAny, {{kJs, 3}, {kTs, 2}}},
        {"undefined", kAny, {{kJs, 3}, {kTs, 2}}},
        {"this", kAny, {{kJs, 2}, {kTs, 2}, {kJava, 1}, {kCs, 1}, {kCpp, 1}, {kPhp, 1}, {kDart, 1}}},
        {"document", kAny, {{kJs, 2}}},
        {"prototype", kAny, {{kJs, 3}}},
        {"async", kAny, {{kJs, 1}, {kTs, 1}, {kCs, 1}, {kDart, 1}, {kRs, 1}}},
        {"interface", kStart, {{kTs, 3}, {kJava, 1}, {kGo, 1}, {kKt, 1}, {kCs, 1}}},
        {"type", kStart, {{kTs, 2}, {kGo, 2}, {kHs, 2}, {kRs, 1}}},
        {"readonly", kAny, {{kTs, 3}, {kCs, 1}}},
        {"string", kAny, {{kTs, 2}, {kCs, 2}, {kGo, 1}}},
        {"number", kAny, {{kTs, 3}}},
        {"boolean", kAny, {{kTs, 3}, {kJava, 1}}},
        {"any", kAny, {{kTs, 2}}},
        {"declare", kStart, {{kTs, 4}}},
        {"namespace", kStart, {{kTs, 1}, {kCpp, 2}, {kCs, 3}, {kPhp, 2}}},
        {"namespace", kAny, {{kCpp, 2}, {kCs, 1}}},
        // C and C++
        {"#include", kStart, {{kC, 4}, {kCpp, 4}}},
        {"#define", kStart, {{kC, 4}, {kCpp, 3}}},
        {"#ifdef", kStart, {{kC, 3}, {kCpp, 3}, {kCs, 1}}},
        {"#ifndef", kStart, {{kC, 3}, {kCpp, 3}}},
        {"#endif", kStart, {{kC, 3}, {kCpp, 3}, {kCs, 1}}},
        {"#if", kStart, {{kC, 2}, {kCpp, 2}, {kCs, 1}}},
        {"#pragma", kStart, {{kC, 2}, {kCpp, 2}, {kCs, 1}}},
        {"typedef", kAny, {{kC, 4}, {kCpp, 2}}},
        {"struct", kAny, {{kC, 3}, {kCpp, 2}, {kGo, 1}, {kRs, 2}, {kSwift, 2}, {kCs, 1}}},
        {"unsigned", kAny, {{kC, 3}, {kCpp, 2}}},
        {"void", kAny, {{kC, 2}, {kCpp, 2}, {kJava, 1}, {kCs, 1}, {kDart, 1}}},
        {"int", kAny, {{kC, 2}, {kCpp, 2}, {kJava, 1}, {kCs, 1}, {kDart, 1}}},
        {"char", kAny, {{kC, 2}, {kCpp, 2}}},
        {"NULL", kAny, {{kC, 3}, {kCpp, 1}, {kR, 1}, {kPhp, 1}}},
        {"sizeof", kAny, {{kC, 3}, {kCpp, 2}}},
        {"extern", kAny, {{kC, 3}, {kCpp, 2}}},
        {"static", kAny, {{kC, 2}, {kCpp, 1}, {kJava, 1}, {kCs, 1}, {kPhp, 1}, {kSwift, 1}}},
        {"->", kAny, {{kC, 1}, {kCpp, 1}, {kRs, 1}, {kPhp, 2}, {kSwift, 1}, {kHs, 1}}},
        {";", kEnd, {{kC, 1}, {kCpp, 1}, {kJava, 1}, {kCs, 1}, {kJs, 1}, {kTs, 1}, {kPhp, 1}, {kPl, 1}, {kRs, 1}, {kCss, 1}, {kScss, 1}, {kDart, 1}, {kZig, 1}, {kPy, -3}, {kRb, -2}, {kGo, -2}, {kKt, -2}, {kSwift, -2}}},
        {"{", kEnd, {{kC, 1}, {kCpp, 1}, {kJava, 1}, {kCs, 1}, {kJs, 1}, {kTs, 1}, {kGo, 1}, {kRs, 1}, {kKt, 1}, {kSwift, 1}, {kPhp, 1}, {kPl, 1}, {kCss, 1}, {kScss, 1}, {kDart, 1}, {kZig, 1}, {kPy, -3}, {kRb, -2}}},
        {"::", kAny, {{kCpp, 3}, {kRs, 2}, {kPhp, 1}, {kHs, 2}, {kRb, 1}, {kPl, 1}}},
        {"std", kAny, {{kCpp, 3}, {kRs, 1}, {kZig, 1}}},
        {"template", kAny, {{kCpp, 4}}},
        {"typename", kAny, {{kCpp, 4}}},
        {"class", kAny, {{kCpp, 1}, {kJava, 1}, {kCs, 1}, {kPy, 1}, {kKt, 1}, {kTs, 1}, {kJs, 1}, {kPhp, 1}, {kRb, 1}, {kSwift, 1}, {kDart, 1}, {kScala, 1}}},
        {"public", kAny, {{kCpp, 1}, {kJava, 2}, {kCs, 2}, {kPhp, 1}, {kTs, 1}, {kSwift, 1}}},
        {"private", kAny, {{kCpp, 1}, {kJava, 2}, {kCs, 2}, {kPhp, 1}, {kTs, 1}, {kSwift, 1}, {kKt, 1}}},
        {"nullptr", kAny, {{kCpp, 4}}},
        {"constexpr", kAny, {{kCpp, 4}}},
        {"virtual", kAny, {{kCpp, 3}, {kCs, 1}}},
        {"auto", kAny, {{kCpp, 2}, {kC, 1}}},
        {"bool", kAny, {{kCpp, 1}, {kC, 1}, {kCs, 1}, {kDart, 1}}},
        // C#
        {"using", kStart, {{kCs, 4}, {kCpp, 1}}},
        {"get", kAny, {{kCs, 1}, {kKt, 1}}},
        {"override", kAny, {{kCs, 2}, {kKt, 2}, {kScala, 2}, {kSwift, 2}, {kCpp, 1}}},
        // Java and Kotlin
        {"package", kStart, {{kJava, 3}, {kKt, 3}, {kGo, 3}, {kScala, 3}, {kPl, 2}}},
        {"@Override", kAny, {{kJava, 4}, {kKt, 1}}},
        {"extends", kAny, {{kJava, 2}, {kTs, 1}, {kScala, 1}, {kDart, 1}, {kPhp, 1}}},
        {"implements", kAny, {{kJava, 3}, {kTs, 1}, {kPhp, 1}, {kDart, 1}}},
        {"final", kAny, {{kJava, 2}, {kDart, 2}, {kPhp, 1}}},
        {"throws", kAny, {{kJava, 4}}},
        {"System", kAny, {{kJava, 2}, {kCs, 2}}},
        {"fun", kStart, {{kKt, 4}}},
        {"fun", kAny, {{kKt, 2}}},
        {"val", kStart, {{kKt, 3}, {kScala, 3}}},
        {"val", kAny, {{kKt, 1}, {kScala, 1}}},
        {"when", kAny, {{kKt, 1}}},
        // Go
        {"func", kStart, {{kGo, 4}, {kSwift, 2}}},
        {"func", kAny, {{kGo, 2}, {kSwift, 2}}},
        {":=", kAny, {{kGo, 3}}},
        {"err", kAny, {{kGo, 2}}},
        {"nil", kAny, {{kGo, 2}, {kRb, 2}, {kSwift, 2}, {kLua, 2}}},
        {"defer", kAny, {{kGo, 3}, {kSwift, 1}, {kZig, 1}}},
        {"chan", kAny, {{kGo, 3}}},
        {"fmt", kAny, {{kGo, 3}}},
        // Rust
        {"fn", kAny, {{kRs, 4}, {kZig, 2}}},
        {"fn", kStart, {{kRs, 2}}},
        {"pub", kStart, {{kRs, 3}, {kZig, 2}}},
        {"impl", kStart, {{kRs, 4}}},
        {"mut", kAny, {{kRs, 4}}},
        {"use", kStart, {{kRs, 3}, {kPl, 2}, {kPhp, 1}}},
        {"mod", kStart, {{kRs, 2}}},
        {"crate", kAny, {{kRs, 4}}},
        {"#[", kStart, {{kRs, 4}}},
        {"Some", kAny, {{kRs, 2}, {kScala, 1}}},
        {"Ok", kAny, {{kRs, 2}}},
        {"match", kAny, {{kRs, 2}, {kScala, 1}}},
        {"unwrap", kAny, {{kRs, 3}}},
        // Swift
        {"guard", kAny, {{kSwift, 4}}},
        {"@objc", kAny, {{kSwift, 4}}},
        {"extension", kStart, {{kSwift, 3}, {kDart, 1}}},
        {"Foundation", kAny, {{kSwift, 3}}},
        {"UIKit", kAny, {{kSwift, 4}}},
        // PHP
        {"$", kAny, {{kPhp, 2}, {kPl, 2}, {kSh, 2}, {kPs, 2}, {kScss, 1}}},
        {"echo", kAny, {{kPhp, 2}, {kSh, 2}, {kBat, 1}}},
        {"$this", kAny, {{kPhp, 4}}},
        // Ruby
        {"end", kStart, {{kRb, 3}, {kLua, 3}, {kEx, 2}}},
        {"end", kEnd, {{kRb, 2}, {kLua, 2}, {kEx, 1}}},
        {"do", kEnd, {{kRb, 2}, {kEx, 3}, {kSh, 1}}},
        {"unless", kAny, {{kRb, 2}, {kPl, 2}}},
        {"puts", kAny, {{kRb, 3}}},
        {"attr_accessor", kAny, {{kRb, 4}}},
        {"attr_reader", kAny, {{kRb, 4}}},
        {"elsif", kStart, {{kRb, 4}, {kPl, 3}}},
        // Perl
        {"my", kAny, {{kPl, 4}}},
        {"sub", kStart, {{kPl, 4}}},
        {"strict", kAny, {{kPl, 3}}},
        {"warnings", kAny, {{kPl, 2}}},
        {"=~", kAny, {{kPl, 3}, {kRb, 1}, {kSh, 1}}},
        {"__END__", kStart, {{kPl, 3}, {kRb, 2}}},
        {"=head1", kStart, {{kPl, 4}}},
        {"=cut", kStart, {{kPl, 4}}},
        // Lua
        {"local", kStart, {{kLua, 4}, {kSh, 1}}},
        {"then", kEnd, {{kLua, 2}, {kSh, 3}, {kRb, 1}}},
        {"elseif", kStart, {{kLua, 4}, {kPhp, 1}}},
        {"~=", kAny, {{kLua, 3}}},
        // R
        {"<-", kAny, {{kR, 4}, {kHs, 1}}},
        {"library", kStart, {{kR, 3}}},
        {"TRUE", kAny, {{kR, 2}, {kC, 1}}},
        {"FALSE", kAny, {{kR, 2}, {kC, 1}}},
        // Shell
        {"fi", kStart, {{kSh, 4}}},
        {"esac", kStart, {{kSh, 4}}},
        {"done", kStart, {{kSh, 3}}},
        {"then", kStart, {{kSh, 1}}},
        {"if", kStart, {{kSh, 0}}},
        {"$(", kAny, {{kSh, 2}, {kPs, 1}}},
        {"${", kAny, {{kSh, 2}, {kPl, 1}, {kJs, 1}, {kTs, 1}}},
        {";;", kEnd, {{kSh, 4}}},
        {"[[", kAny, {{kSh, 2}}},
        // PowerShell
        {"param", kStart, {{kPs, 4}}},
        {"Write", kAny, {{kPs, 2}}},
        {"Get", kAny, {{kPs, 1}}},
        {"eq", kAny, {{kPs, 1}}},
        {"CmdletBinding", kAny, {{kPs, 4}}},
        {"PSObject", kAny, {{kPs, 4}}},
        // Batch
        {"@echo", kStart, {{kBat, 4}}},
        {"@SETLOCAL", kStart, {{kBat, 5}}},
        {"SETLOCAL", kStart, {{kBat, 4}}},
        {"setlocal", kStart, {{kBat, 4}}},
        {"@IF", kStart, {{kBat, 4}}},
        {"@SET", kStart, {{kBat, 4}}},
        {"EXIST", kAny, {{kBat, 3}}},
        {"exist", kAny, {{kBat, 2}}},
        {"%~", kAny, {{kBat, 4}}},
        {"%*", kAny, {{kBat, 3}}},
        {"ERRORLEVEL", kAny, {{kBat, 4}}},
        {"REM", kStart, {{kBat, 4}}},
        {"rem", kStart, {{kBat, 3}}},
        {"goto", kAny, {{kBat, 2}, {kC, 1}}},
        {"%", kAny, {{kBat, 1}}},
        {"set", kStart, {{kBat, 1}, {kSh, 1}}},
        {"::", kStart, {{kBat, 3}}},
        // CSS and SCSS
        {"@media", kStart, {{kCss, 4}, {kScss, 3}}},
        {"@import", kStart, {{kCss, 3}, {kScss, 3}, {kDart, 0}}},
        {"@font", kStart, {{kCss, 3}, {kScss, 2}}},
        {"color", kStart, {{kCss, 3}, {kScss, 2}}},
        {"margin", kStart, {{kCss, 3}, {kScss, 2}}},
        {"padding", kStart, {{kCss, 3}, {kScss, 2}}},
        {"font", kStart, {{kCss, 2}, {kScss, 2}}},
        {"background", kStart, {{kCss, 3}, {kScss, 2}}},
        {"display", kStart, {{kCss, 3}, {kScss, 2}}},
        {"border", kStart, {{kCss, 3}, {kScss, 2}}},
        {"width", kStart, {{kCss, 2}, {kScss, 1}}},
        {"}", kStart, {{kCss, 1}, {kScss, 1}, {kC, 1}, {kCpp, 1}, {kJava, 1}, {kJs, 1}, {kTs, 1}, {kGo, 1}, {kRs, 1}, {kCs, 1}, {kPhp, 1}, {kPl, 1}, {kKt, 1}, {kSwift, 1}, {kDart, 1}, {kScala, 1}}},
        {"px", kAny, {{kCss, 3}, {kScss, 2}}},
        {"important", kAny, {{kCss, 2}, {kScss, 1}}},
        {"@mixin", kStart, {{kScss, 5}}},
        {"@include", kStart, {{kScss, 5}}},
        {"@extend", kStart, {{kScss, 4}}},
        {"&:", kAny, {{kScss, 4}}},
        {"@use", kStart, {{kScss, 4}}},
        // Assembly
        {".text", kStart, {{kAsm, 4}}},
        {".data", kStart, {{kAsm, 3}}},
        {".globl", kStart, {{kAsm, 5}}},
        {".global", kStart, {{kAsm, 4}}},
        {".section", kStart, {{kAsm, 4}}},
        {".type", kStart, {{kAsm, 3}}},
        {".size", kStart, {{kAsm, 3}}},
        {".align", kStart, {{kAsm, 3}}},
        {"mov", kStart, {{kAsm, 3}}},
        {"movl", kStart, {{kAsm, 4}}},
        {"movq", kStart, {{kAsm, 4}}},
        {"ret", kStart, {{kAsm, 2}}},
        {"call", kStart, {{kAsm, 2}, {kBat, 1}}},
        {"jmp", kStart, {{kAsm, 3}}},
        {"push", kStart, {{kAsm, 2}}},
        {"pushq", kStart, {{kAsm, 4}}},
        {"section", kStart, {{kAsm, 3}}},
        {"global", kStart, {{kAsm, 2}}},
        // Haskell
        {"where", kEnd, {{kHs, 4}}},
        {"deriving", kAny, {{kHs, 4}}},
        {"instance", kStart, {{kHs, 4}}},
        {"data", kStart, {{kHs, 2}}},
        {"qualified", kAny, {{kHs, 4}}},
        {"Maybe", kAny, {{kHs, 3}}},
        // Scala
        {"object", kStart, {{kScala, 3}, {kKt, 2}}},
        {"case", kStart, {{kScala, 1}, {kSwift, 1}, {kC, 1}, {kCpp, 1}, {kJava, 1}, {kJs, 1}, {kCs, 1}, {kDart, 1}}},
        {"trait", kStart, {{kScala, 4}, {kRs, 2}}},
        {"trait", kAny, {{kScala, 2}, {kRs, 2}}},
        {"implicit", kAny, {{kScala, 4}}},
        // Dart
        {"Widget", kAny, {{kDart, 4}}},
        {"@override", kStart, {{kDart, 4}}},
        {"late", kAny, {{kDart, 3}}},
        {"required", kAny, {{kDart, 1}}},
        {"Future", kAny, {{kDart, 2}, {kRs, 1}}},
        // Elixir
        {"defmodule", kStart, {{kEx, 5}}},
        {"defp", kStart, {{kEx, 5}}},
        {"|>", kAny, {{kEx, 3}}},
        {"@moduledoc", kStart, {{kEx, 5}}},
        {"@doc", kStart, {{kEx, 3}}},
        {"@spec", kStart, {{kEx, 4}}},
        {"alias", kStart, {{kEx, 2}}},
        // Zig
        {"@import", kAny, {{kZig, 4}}},
        {"comptime", kAny, {{kZig, 5}}},
        {"try", kAny, {{kZig, 1}, {kSwift, 1}, {kPy, 0}}},
        {"!void", kAny, {{kZig, 5}}},
        {"usize", kAny, {{kZig, 3}, {kRs, 3}}},
        {"u8", kAny, {{kZig, 2}, {kRs, 2}}},
    };
    return kFeatures;
}

constexpr std::uint32_t hash_token(std::string_view t, Where where) {
    std::uint32_t h = 2166136261u ^ static_cast<std::uint32_t>(where);
    for (char c : t) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h ? h : 1;
}

// The features by the hash of token and place, in an open-addressed table.
struct Index {
    static constexpr std::size_t kSlots = 1024;
    std::array<std::uint32_t, kSlots> key{};
    std::array<std::uint16_t, kSlots> feature{};

    Index() {
        std::span<const Feature> fs = features();
        for (std::size_t i = 0; i < fs.size(); ++i) {
            std::uint32_t h = hash_token(fs[i].token, fs[i].where);
            std::size_t s = h & (kSlots - 1);
            while (key[s] != 0 && key[s] != h) s = (s + 1) & (kSlots - 1);
            if (key[s] == h) continue;  // the same token twice: the first stands
            key[s] = h;
            feature[s] = static_cast<std::uint16_t>(i);
        }
    }
    int find(std::uint32_t h) const {
        for (std::size_t s = h & (kSlots - 1);; s = (s + 1) & (kSlots - 1)) {
            if (key[s] == h) return feature[s];
            if (key[s] == 0) return -1;
        }
    }
};

const Index& index() {
    static const Index kIndex;
    return kIndex;
}

bool is_mark(char c) {
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '^') || c == '`' || (c >= '{' && c <= '~');
}

}  // namespace

Verdict script(std::string_view view) {
    std::string_view line = view.substr(2, view.find_first_of("\r\n") == std::string_view::npos ? std::string_view::npos : view.find_first_of("\r\n") - 2);
    Lines words_of(line);
    // Words of the line: the program, then for env its options and settings.
    std::array<std::string_view, 8> words{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < line.size() && n < words.size();) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        std::size_t s = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > s) words[n++] = line.substr(s, i - s);
    }
    (void)words_of;
    std::size_t w = 0;
    auto base = [](std::string_view p) { return p.substr(p.rfind('/') == std::string_view::npos ? 0 : p.rfind('/') + 1); };
    if (n == 0) return {};
    std::string_view prog = base(words[0]);
    if (prog == "env") {
        for (w = 1; w < n && (words[w][0] == '-' || has(words[w], "=")); ++w) {}
        if (w >= n) return {};
        prog = base(words[w]);
    }
    // python3.11, perl5.36, lua5.4, ruby3.1, php8.2: the name without its version
    std::size_t e = prog.size();
    while (e > 0 && (is_digit(prog[e - 1]) || prog[e - 1] == '.')) --e;
    std::string_view name = prog.substr(0, e);
    for (const Interpreter& i : kInterpreters)
        if (name == i.name) return {i.exts, 95};
    return {};
}

Verdict source(std::string_view v) {
    std::span<const Feature> fs = features();
    const Index& idx = index();
    std::array<std::uint8_t, 512> seen{};  // per feature, capped
    std::array<int, kLangs> score{};
    auto hit = [&](std::string_view token, Where where) {
        int f = idx.find(hash_token(token, where));
        if (f < 0 || seen[static_cast<std::size_t>(f)] >= 3) return;
        ++seen[static_cast<std::size_t>(f)];
        for (const Weight& w : fs[static_cast<std::size_t>(f)].weights) score[w.lang] += w.w;
    };
    std::size_t i = 0, n = v.size();
    int code = 0, prose = 0;
    bool block = false;  // inside a /* */ comment
    while (i < n) {
        // one line
        while (i < n && (v[i] == ' ' || v[i] == '\t')) ++i;
        std::size_t begin = i;
        std::size_t stop = begin;
        while (stop < n && v[stop] != '\n' && v[stop] != '\r') ++stop;
        std::string_view text = v.substr(begin, stop - begin);
        if (starts(text, "```")) return {};  // code shown in marked-up prose
        // Comments hold prose: only their mark counts.
        bool comment = block;
        if (block) {
            if (has(text, "*/")) block = false;
        } else if (starts(text, "/*")) {
            comment = true, block = !has(text, "*/");
            hit("/*", kStart);
        } else if (starts(text, "//")) {
            comment = true, hit("//", kStart);
        } else if (starts(text, "# ") || text == "#" || starts(text, "#!") || starts(text, "##")) {
            comment = true, hit("#", kStart);
        } else if (starts(text, "-- ")) {
            comment = true, hit("--", kStart);
        } else if (starts(text, "* ") || text == "*") {
            comment = true;
        }
        if (comment) {
            i = stop;
            while (i < n && (v[i] == '\n' || v[i] == '\r')) ++i;
            continue;
        }
        // A line of code holds marks; a line of prose is words and spaces.
        int marks = 0, spaces = 0;
        for (char c : text) marks += c == ';' || c == '{' || c == '}' || c == '(' || c == '=' || c == '[' || c == '<' || c == '$',
                            spaces += c == ' ';
        bool rule = !text.empty() && text.find_first_not_of(text[0]) == std::string_view::npos;  // ==== or ----
        if (marks > 0 && !rule) ++code;
        else if (spaces >= 3) ++prose;
        std::string_view last;
        bool first = true;
        while (i < stop) {
            char c = v[i];
            std::size_t s = i;
            if (is_word(c) && !is_digit(c)) {
                while (i < stop && is_word(v[i])) ++i;
            } else if ((c == '@' || (first && (c == '#' || c == '.' || c == '=' || c == '!'))) && i + 1 < stop && is_alpha(v[i + 1])) {
                ++i;
                while (i < stop && is_word(v[i])) ++i;
            } else if (c == '$' && i + 1 < stop && is_alpha(v[i + 1])) {
                hit("$", kAny);
                ++i;
                while (i < stop && is_word(v[i])) ++i;
            } else if (is_mark(c)) {
                // a mark alone, then with the marks after it (two and three)
                hit(v.substr(i, 1), first ? kStart : kAny);
                if (i + 1 < stop && is_mark(v[i + 1])) {
                    hit(v.substr(i, 2), first ? kStart : kAny);
                    if (i + 2 < stop && is_mark(v[i + 2])) hit(v.substr(i, 3), kAny);
                }
                last = v.substr(i, 1);
                ++i;
                first = false;
                continue;
            } else {
                ++i;
                first = false;
                continue;
            }
            std::string_view token = v.substr(s, i - s);
            hit(token, first ? kStart : kAny);
            if (first) hit(token, kAny);
            first = false;
            last = token;
        }
        if (!last.empty()) {
            // the line's last token, spaces after it aside
            std::size_t e = stop;
            while (e > begin && (v[e - 1] == ' ' || v[e - 1] == '\t')) --e;
            if (e > begin && is_mark(v[e - 1])) last = v.substr(e - 1, 1);
            if (e > begin + 1 && v[e - 1] == ';' && v[e - 2] == ';') last = v.substr(e - 2, 2);
            hit(last, kEnd);
        }
        while (i < n && (v[i] == '\n' || v[i] == '\r')) ++i;
    }
    // Prose with a few words that code uses is no code.
    if (code < 3 || prose > code) return {};
    int best = 0, second = 0;
    std::size_t which = 0;
    for (std::size_t l = 0; l < kLangs; ++l) {
        if (score[l] > best) second = best, best = score[l], which = l;
        else if (score[l] > second) second = score[l];
    }
    if (best < 8) return {};
    int confidence = 30 + 2 * best + 6 * (best - second);
    if (confidence > 95) confidence = 95;
    std::string_view exts = kExts[which];
    // Headers: an include guard or a pragma once, and no main.
    if (which == kC || which == kCpp) {
        bool header = (has(v, "#ifndef") && has(v, "#define")) || has(v, "#pragma once");
        header = header && !has(v, "main(");
        if (header) exts = which == kC ? "h" : "h,hpp";
    }
    return {exts, confidence};
}

}  // namespace zarvo::current::textkind
