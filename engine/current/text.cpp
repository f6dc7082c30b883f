// The current-formats layer: text kinds: encoding, grammar, scripts, source code, prose.
//
// One computing row: a head that is not text is turned down on its first
// bytes; a head that starts with a signature the classic tables answer for
// is left to them; otherwise the kind is told by the #! line, the grammar of
// structured kinds, or the features of source code, each with a confidence,
// and text of no kind told with confidence is txt. The detail text names the
// encoding and the line ends.
#include "current/layer.hpp"
#include "current/text_kinds.hpp"
#include "current/text_lines.hpp"
#include "current/vocabulary.hpp"
#include "families/families.hpp"

namespace zarvo::current {

using namespace rules;

namespace textkind {

bool classic_signature(std::string_view head) {
    // At-start signatures of the classic tables' text kinds (rtf, PostScript,
    // channel definitions, batch files, shell and perl scripts).
    for (std::string_view p : {"{\\rtf", "%!PS-Adobe-", "<?XML version=", "@ECHO", "@echo", "#!/sbin/sh", "#!/usr/bin/sh",
                               "#!/sbin/csh", "#!/usr/bin/csh", "#!/sbin/ksh", "#!/usr/bin/ksh", "#!/usr/bin/perl",
                               "#!/usr/local/bin/perl", "package jcode", "interface ", "<script language=", "<SCRIPT LANGUAGE=",
                               "vti_encoding:"})
        if (starts(head, p)) return true;
    return false;
}

}  // namespace textkind

namespace {

// The classic markup and text-encoding rows (html, xml, mail, vCard,
// uuencode, base64, MIME, ...) over the same image: where one holds, the
// classic answer stands.
bool classic_text_row(const HexImage& image, const Context& ctx) {
    Context scratch = ctx;
    scratch.probe = nullptr;
    return !rules::run(families::markup_table(), image, scratch).empty() ||
           !rules::run(families::text_encoding_table(), image, scratch).empty();
}

std::string text_kind(const HexImage& image, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view head = probe.head();
    if (head.empty() || textkind::surely_binary(head)) return {};
    // "<?xml" is the classic xml row: the root element may tell more.
    bool xml = textkind::starts(head, "<?xml");
    if (textkind::classic_signature(head) || (!xml && classic_text_row(image, ctx))) return {};
    textkind::Decoded d;
    bool cut = probe.size() > head.size();
    if (!textkind::decode(head, cut, d)) return {};
    std::string_view v = d.view;
    textkind::Verdict verdict;
    if (textkind::starts(v, "#!")) verdict = textkind::script(v);
    if (verdict.exts.empty()) {
        if (textkind::starts(v, "<?php")) verdict = {"php", 95};
        else verdict = textkind::grammar(v, cut);
    }
    if (verdict.confidence < 75) {
        textkind::Verdict code = textkind::source(v);
        // Code must outweigh a grammar that holds clearly.
        int margin = verdict.confidence >= textkind::kThreshold ? 20 : 0;
        if (code.confidence > verdict.confidence + margin) verdict = code;
    }
    if (xml && (verdict.exts == "xml" || verdict.confidence < textkind::kThreshold)) return {};
    ctx.detail = textkind::describe(d);
    if (verdict.exts.empty() || verdict.confidence < textkind::kThreshold) {
        // Plain text is lines, or words with spaces between them: a few
        // printable bytes, or one long run of them, tell no kind at all.
        std::size_t spaces = 0;
        for (char c : v) spaces += c == ' ';
        bool lines = d.lf + d.crlf + d.cr > 0;
        if (v.size() < 8 || (!lines && spaces * 40 < v.size())) {
            ctx.detail.clear();
            return {};
        }
        return "txt";
    }
    ctx.kind = verdict.kind;
    return std::string(verdict.exts);
}

}  // namespace

const Table& text_table() {
    static const Table rows = {
        // row  tests  answer
        {"1",   {},    text_kind},
    };
    return rows;
}

}  // namespace zarvo::current
