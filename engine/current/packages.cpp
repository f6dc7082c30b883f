// The current-formats layer: ZIP-based documents and packages by their
// entries; OLE compound documents by their streams.
//
// A ZIP's entry names come from its central directory, found through the
// end record in the tail (and the ZIP64 end record where the counts
// overflow), read within the probe's budget; when the directory is out of
// reach, from the local headers walked from the start. An OLE file's names
// come from its directory, followed sector by sector through the FAT; only
// the root storage's own children count. Both walks are bounded in steps
// and read nothing the probe does not allow. A ZIP or OLE file that is none
// of the kinds below gets no answer here.
#include <algorithm>
#include <string>
#include <vector>

#include "current/bytes.hpp"
#include "current/inflate.hpp"
#include "current/layer.hpp"
#include "current/vocabulary.hpp"

namespace zarvo::current {

using namespace rules;

namespace {

bool ends_with(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}
bool starts_with(std::string_view s, std::string_view start) { return s.substr(0, start.size()) == start; }

// ---- the ZIP walk ------------------------------------------------------------------

constexpr std::size_t kMaxEntries = 4096;  // names looked at, at most
constexpr std::size_t kMaxLocalSteps = 64;

struct ZipEntry {
    std::string_view name;
    std::uint32_t method = 0;
    std::uint64_t size = 0;          // compressed
    std::uint64_t local = 0;         // offset of its local header
};

struct ZipListing {
    std::vector<ZipEntry> entries;
    bool zip64 = false;
    bool directory = false;  // the names come from the central directory
};

// Central directory entries in `cd`, as far as they are whole.
void walk_directory(std::string_view cd, ZipListing& out) {
    std::size_t at = 0;
    while (out.entries.size() < kMaxEntries && bytes::at(cd, at, "PK\x01\x02") && bytes::has(cd, at, 46)) {
        std::size_t n = bytes::le16(cd, at + 28), m = bytes::le16(cd, at + 30), k = bytes::le16(cd, at + 32);
        if (!bytes::has(cd, at + 46, n + m + k)) break;
        ZipEntry e;
        e.name = cd.substr(at + 46, n);
        e.method = bytes::le16(cd, at + 10);
        e.size = bytes::le32(cd, at + 20);
        e.local = bytes::le32(cd, at + 42);
        out.entries.push_back(e);
        at += 46 + n + m + k;
    }
    out.directory = !out.entries.empty();
}

// Local headers from the start, each read on its own; the walk stops where
// a header's sizes are left to a data descriptor.
void walk_local(Probe& probe, ZipListing& out) {
    std::uint64_t at = 0;
    for (std::size_t step = 0; step < kMaxLocalSteps; ++step) {
        std::string_view h = probe.read(at, 30);
        if (!bytes::at(h, 0, "PK\x03\x04") || h.size() < 30) break;
        std::size_t n = bytes::le16(h, 26), m = bytes::le16(h, 28);
        std::string_view name = probe.read(at + 30, n);
        if (name.size() != n) break;
        ZipEntry e;
        e.name = name;
        e.method = bytes::le16(h, 8);
        e.size = bytes::le32(h, 18);
        e.local = at;
        out.entries.push_back(e);
        if ((bytes::le16(h, 6) & 0x0008) && e.size == 0) break;
        if (e.size == 0xFFFFFFFF) break;  // ZIP64 sizes in the extra field: not followed
        at += 30 + n + m + e.size;
    }
}

ZipListing list_zip(Probe& probe) {
    ZipListing out;
    std::uint64_t size = probe.size();
    // The end record: 22 bytes and a comment of up to 65535 bytes; the tail
    // looked at is what the budget allows for it, at most 4 KiB.
    std::string_view tail = probe.tail(4096);
    std::uint64_t tail_start = size - tail.size();
    std::size_t eocd = std::string_view::npos;
    for (std::size_t i = tail.size() >= 22 ? tail.size() - 22 + 1 : 0; i-- > 0;) {
        if (bytes::at(tail, i, "PK\x05\x06") && i + 22 + bytes::le16(tail, i + 20) <= tail.size()) {
            eocd = i;
            break;
        }
    }
    if (eocd != std::string_view::npos) {
        std::uint64_t cd_size = bytes::le32(tail, eocd + 12), cd_offset = bytes::le32(tail, eocd + 16);
        std::uint64_t cd_end = tail_start + eocd;  // where a plain directory ends
        if ((cd_size == 0xFFFFFFFF || cd_offset == 0xFFFFFFFF || bytes::le16(tail, eocd + 10) == 0xFFFF) &&
            eocd >= 20 && bytes::at(tail, eocd - 20, "PK\x06\x07")) {
            out.zip64 = true;
            std::uint64_t record = bytes::le64(tail, eocd - 20 + 8);
            std::string_view r = record >= tail_start && record - tail_start <= tail.size() && tail.size() - (record - tail_start) >= 56
                                     ? tail.substr(static_cast<std::size_t>(record - tail_start), 56)
                                     : probe.read(record, 56);
            if (bytes::at(r, 0, "PK\x06\x06") && r.size() >= 56) {
                cd_size = bytes::le64(r, 40);
                cd_offset = bytes::le64(r, 48);
                cd_end = record;
            }
        }
        // The stated offset, or where the directory must start when data
        // was put before the archive.
        for (std::uint64_t start : {cd_offset, cd_end >= cd_size ? cd_end - cd_size : cd_offset}) {
            if (start >= size || cd_size == 0 || cd_size > size) continue;
            std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(cd_size, size - start));
            std::string_view cd;
            if (start >= tail_start) cd = tail.substr(static_cast<std::size_t>(start - tail_start), want);
            else cd = probe.read(start, std::min<std::size_t>(want, kBudget));
            if (!bytes::at(cd, 0, "PK\x01\x02")) continue;
            walk_directory(cd, out);
            break;
        }
    }
    if (!out.directory) walk_local(probe, out);
    return out;
}

constexpr std::size_t kEntryText = 16 * 1024;   // of an entry's text, read or decoded at most
constexpr std::size_t kDeflatedRead = 16 * 1024;  // of a deflated entry's data, read at most

// The start of an entry's text (up to kEntryText bytes): a stored entry's
// bytes as they are, a deflated one's decoded into `decoded`; nothing for
// other methods, encrypted entries and data that breaks the format. A
// deflated entry cut short by the read still gives what it decoded.
std::string_view entry_text(Probe& probe, const ZipEntry& e, std::string& decoded) {
    if (e.method != 0 && e.method != 8) return {};
    std::string_view h = probe.read(e.local, 30);
    if (!bytes::at(h, 0, "PK\x03\x04") || h.size() < 30) return {};
    std::uint64_t data = e.local + 30 + bytes::le16(h, 26) + bytes::le16(h, 28);
    if (e.method == 0) return probe.read(data, static_cast<std::size_t>(std::min<std::uint64_t>(e.size, kEntryText)));
    if (bytes::le16(h, 6) & 0x0001) return {};  // encrypted
    // Sizes left to a data descriptor or a ZIP64 field: the data ends itself.
    std::uint64_t size = e.size == 0 || e.size == 0xFFFFFFFF ? kDeflatedRead : std::min<std::uint64_t>(e.size, kDeflatedRead);
    std::string_view in = probe.read(data, static_cast<std::size_t>(size));
    if (inflate(in, kEntryText, decoded) == Inflate::invalid) decoded.clear();
    return decoded;
}

// ---- ZIP kinds -------------------------------------------------------------------------

struct MimeKind {
    std::string_view mime;
    std::string_view answer;
    std::string_view detail;
};

// The `mimetype` entry of OpenDocument, EPUB and their relatives.
constexpr MimeKind kMimeKinds[] = {
    {"application/vnd.oasis.opendocument.text", "odt", "OpenDocument text"},
    {"application/vnd.oasis.opendocument.text-template", "ott", "OpenDocument text template"},
    {"application/vnd.oasis.opendocument.spreadsheet", "ods", "OpenDocument spreadsheet"},
    {"application/vnd.oasis.opendocument.spreadsheet-template", "ots", "OpenDocument spreadsheet template"},
    {"application/vnd.oasis.opendocument.presentation", "odp", "OpenDocument presentation"},
    {"application/vnd.oasis.opendocument.presentation-template", "otp", "OpenDocument presentation template"},
    {"application/vnd.oasis.opendocument.graphics", "odg", "OpenDocument drawing"},
    {"application/vnd.oasis.opendocument.graphics-template", "otg", "OpenDocument drawing template"},
    {"application/vnd.oasis.opendocument.formula", "odf", "OpenDocument formula"},
    {"application/vnd.oasis.opendocument.chart", "odc", "OpenDocument chart"},
    {"application/vnd.oasis.opendocument.text-master", "odm", "OpenDocument master document"},
    {"application/epub+zip", "epub", "EPUB book"},
    {"application/hwp+zip", "hwpx", "Hangul word processor document"},
};

bool image_name(std::string_view name) {
    std::string lower;
    for (char c : name.substr(name.size() > 5 ? name.size() - 5 : 0)) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (std::string_view ext : {".jpg", ".jpeg", ".png", ".gif", ".webp", ".bmp", ".avif", ".jxl"})
        if (ends_with(lower, ext)) return true;
    return false;
}

struct Names {
    const ZipListing& zip;
    bool has(std::string_view name) const {
        return std::any_of(zip.entries.begin(), zip.entries.end(), [&](const ZipEntry& e) { return e.name == name; });
    }
    bool under(std::string_view folder) const {
        return std::any_of(zip.entries.begin(), zip.entries.end(), [&](const ZipEntry& e) { return starts_with(e.name, folder); });
    }
    template <typename F>
    const ZipEntry* find(F f) const {
        for (const ZipEntry& e : zip.entries)
            if (f(e.name)) return &e;
        return nullptr;
    }
};

// The Office Open XML kinds by their main part's folder; the template,
// show and macro forms by the content types where those can be read, stored
// or deflated (the main part's type names ".template." or ".slideshow."),
// else by a macro project, else offered after the plain form.
std::string ooxml_kind(Probe& probe, const Names& names, Context& ctx) {
    struct Family {
        std::string_view folder, detail;
        std::string_view plain, macro;                    // answers when the types cannot be read
        std::string_view document, document_macro;        // answers when they can
        std::string_view templ, templ_macro, show, show_macro;
    };
    static constexpr Family kFamilies[] = {
        {"word/", "Office Open XML document", "docx,dotx,docm", "docm,dotm", "docx", "docm", "dotx", "dotm", "", ""},
        {"xl/", "Office Open XML workbook", "xlsx,xltx,xlsm", "xlsm,xltm", "xlsx", "xlsm", "xltx", "xltm", "", ""},
        {"ppt/", "Office Open XML presentation", "pptx,ppsx,potx,pptm", "pptm,ppsm,potm", "pptx", "pptm", "potx", "potm",
         "ppsx", "ppsm"},
        {"visio/", "Office Open XML drawing", "vsdx,vstx,vsdm", "vsdm,vstm", "vsdx", "vsdm", "vstx", "vstm", "", ""},
    };
    for (const Family& f : kFamilies) {
        if (!names.under(f.folder)) continue;
        bool macro = names.has(std::string(f.folder) + "vbaProject.bin");
        std::string_view types;
        std::string decoded;
        if (const ZipEntry* ct = names.find([](std::string_view n) { return n == "[Content_Types].xml"; }))
            types = entry_text(probe, *ct, decoded);
        std::string_view answer = macro ? f.macro : f.plain;
        // Only text that names the main part's type decides; a read cut
        // short before it, or a text of other things, leaves the choice open.
        if (types.find("main+xml") != std::string_view::npos) {
            macro = macro || types.find("macroEnabled") != std::string_view::npos;
            answer = macro ? f.document_macro : f.document;
            if (types.find(".template.") != std::string_view::npos) answer = macro ? f.templ_macro : f.templ;
            else if (!f.show.empty() && types.find(".slideshow.") != std::string_view::npos)
                answer = macro ? f.show_macro : f.show;
        }
        ctx.detail = std::string(f.detail) + (macro ? " with macros" : "");
        return std::string(answer);
    }
    return {};
}

std::string zip_kind(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head();
    // OpenDocument and EPUB: `mimetype`, stored, first.
    if (bytes::le16(h, 26) == 8 && bytes::at(h, 30, "mimetype") && bytes::le16(h, 8) == 0) {
        std::size_t data = 38 + bytes::le16(h, 28);
        std::string_view mime = bytes::has(h, data, 1) ? h.substr(data, std::min<std::size_t>(bytes::le32(h, 18), h.size() - data)) : "";
        for (const MimeKind& k : kMimeKinds)
            if (mime == k.mime) {
                ctx.detail = std::string(k.detail);
                return std::string(k.answer);
            }
    }
    ZipListing zip = list_zip(probe);
    Names names{zip};
    auto kind = [&](std::string_view answer, std::string_view detail) {
        ctx.detail = std::string(detail);
        return std::string(answer);
    };
    if (names.has("[Content_Types].xml")) {
        std::string office = ooxml_kind(probe, names, ctx);
        if (!office.empty()) return office;
        if (names.has("AppxManifest.xml") || names.has("AppxBlockMap.xml")) return kind("appx,msix", "app package");
        if (names.has("3D/3dmodel.model")) return kind("3mf", "3D manufacturing package");
        if (names.has("FixedDocumentSequence.fdseq") || names.under("Documents/1/FixedDocument.fdoc"))
            return kind("xps,oxps", "XPS document");
        if (names.find([](std::string_view n) { return ends_with(n, ".nuspec") && n.find('/') == std::string_view::npos; }))
            return kind("nupkg", "NuGet package");
    }
    if (names.has("AndroidManifest.xml") && (names.has("classes.dex") || names.has("resources.arsc")))
        return kind("apk", "Android package");
    if (names.has("base/manifest/AndroidManifest.xml")) return kind("aab", "Android app bundle");
    if (names.find([](std::string_view n) {
            return starts_with(n, "Payload/") && n.find(".app/") != std::string_view::npos;
        }))
        return kind("ipa", "iOS app package");
    if (names.find([](std::string_view n) {
            std::size_t slash = n.find('/');
            return slash != std::string_view::npos && n.substr(slash) == "/WHEEL" && ends_with(n.substr(0, slash), ".dist-info");
        }))
        return kind("whl", "Python wheel");
    if (names.has("install.rdf") || (names.has("manifest.json") && names.under("META-INF/mozilla")))
        return kind("xpi", "browser extension");
    if (names.has("META-INF/application.xml")) return kind("ear", "Java enterprise archive");
    if (names.under("WEB-INF/")) return kind("war", "Java web archive");
    if (names.has("META-INF/MANIFEST.MF")) return kind("jar", "Java archive");
    if (names.has("manifest.json")) return kind("xpi", "browser extension");
    if (names.has("doc.kml")) return kind("kmz", "KML package");
    // Comic book: every file an image (folders aside), two at least.
    std::size_t images = 0;
    bool all_images = !zip.entries.empty() && std::all_of(zip.entries.begin(), zip.entries.end(), [&](const ZipEntry& e) {
        if (ends_with(e.name, "/")) return true;
        if (!image_name(e.name)) return false;
        ++images;
        return true;
    });
    if (all_images && images >= 2) return kind("cbz,zip", "comic book archive");
    if (zip.zip64) return kind("zip", "ZIP64 archive");
    return {};
}

// ---- the OLE walk ------------------------------------------------------------------

constexpr std::size_t kMaxDirSectors = 32;
constexpr std::size_t kNoStream = 0xFFFFFFFF;

struct OleEntry {
    std::string name;   // UTF-16 code units below 0x80 as they are, others as '?'
    bool encoded = false;  // a unit of the MSI table name encoding (0x3800 to 0x4840)
    unsigned type = 0;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
    std::string_view clsid;
};

struct Ole {
    Probe& probe;
    unsigned shift = 9;
    std::uint64_t sectors = 0;  // whole sectors the file holds after the header
    std::string_view header;

    bool valid(std::uint32_t s) const { return s < sectors; }
    std::uint64_t offset(std::uint32_t s) const { return (std::uint64_t{s} + 1) << shift; }

    // The FAT's next sector after s, or kNoStream when the chain ends or
    // leaves what the header's first 109 FAT sectors cover.
    std::uint32_t next(std::uint32_t s) {
        std::uint32_t per = (1u << shift) / 4;
        std::uint32_t index = s / per;
        if (index >= 109) return kNoStream;
        std::uint32_t fat = bytes::le32(header, 76 + 4 * index);
        if (!valid(fat)) return kNoStream;
        std::string_view v = probe.read(offset(fat) + 4 * (s % per), 4);
        return v.size() == 4 ? bytes::le32(v, 0) : kNoStream;
    }
};

std::vector<OleEntry> ole_directory(Ole& ole) {
    std::vector<OleEntry> entries;
    std::vector<std::uint32_t> seen;
    std::uint32_t s = bytes::le32(ole.header, 48);
    std::size_t sector_size = std::size_t{1} << ole.shift;
    while (ole.valid(s) && seen.size() < kMaxDirSectors && std::find(seen.begin(), seen.end(), s) == seen.end()) {
        seen.push_back(s);
        std::string_view d = ole.probe.read(ole.offset(s), sector_size);
        for (std::size_t at = 0; at + 128 <= d.size(); at += 128) {
            OleEntry e;
            std::size_t units = std::min<std::size_t>(bytes::le16(d, at + 64), 64) / 2;
            for (std::size_t i = 0; i + 1 < units; ++i) {
                std::uint32_t u = bytes::le16(d, at + 2 * i);
                if (u >= 0x3800 && u <= 0x4840) e.encoded = true;
                e.name += u < 0x80 ? static_cast<char>(u) : '?';
            }
            e.type = bytes::u8(d, at + 66);
            e.left = bytes::le32(d, at + 68);
            e.right = bytes::le32(d, at + 72);
            e.child = bytes::le32(d, at + 76);
            e.clsid = d.substr(at + 80, 16);
            e.start = bytes::le32(d, at + 116);
            e.size = bytes::le32(d, at + 120);
            entries.push_back(std::move(e));
        }
        if (d.size() < sector_size) break;
        s = ole.next(s);
    }
    return entries;
}

// The root storage's children: the tree under its child, each entry once.
std::vector<const OleEntry*> top_level(const std::vector<OleEntry>& entries) {
    std::vector<const OleEntry*> out;
    if (entries.empty() || entries[0].type != 5) return out;
    std::vector<bool> seen(entries.size());
    std::vector<std::uint32_t> stack{entries[0].child};
    while (!stack.empty()) {
        std::uint32_t id = stack.back();
        stack.pop_back();
        if (id >= entries.size() || id == 0 || seen[id]) continue;
        seen[id] = true;
        out.push_back(&entries[id]);
        stack.push_back(entries[id].left);
        stack.push_back(entries[id].right);
    }
    return out;
}

// A Word document's FIB flags: a template (fDot) or encrypted.
std::string word_kind(Ole& ole, const OleEntry& stream, Context& ctx) {
    ctx.detail = "Word document";
    std::string answer = "doc,dot";
    if (stream.size >= bytes::le32(ole.header, 56) && stream.size >= 12 && ole.valid(stream.start)) {
        std::string_view fib = ole.probe.read(ole.offset(stream.start), 12);
        if (bytes::le16(fib, 0) == 0xA5EC) {
            std::uint32_t flags = bytes::le16(fib, 10);
            if (flags & 0x0001) ctx.detail = "Word template", answer = "dot,doc";
            if (flags & 0x0100) ctx.detail += " (encrypted)";
        }
    }
    return answer;
}

std::string ole_kind(const HexImage&, Context& ctx) {
    Probe& probe = probe_of(ctx);
    std::string_view h = probe.head();
    if (h.size() < 512 || bytes::le16(h, 28) != 0xFFFE) return {};
    unsigned shift = bytes::le16(h, 30);
    if (shift != 9 && shift != 12) return {};
    Ole ole{probe, shift, (probe.size() >> shift) > 0 ? (probe.size() >> shift) - 1 : 0, h};
    std::vector<OleEntry> entries = ole_directory(ole);
    std::vector<const OleEntry*> top = top_level(entries);
    auto find = [&](std::string_view name) -> const OleEntry* {
        for (const OleEntry* e : top)
            if (e->name == name) return e;
        return nullptr;
    };
    auto kind = [&](std::string_view answer, std::string_view detail) {
        ctx.detail = std::string(detail);
        return std::string(answer);
    };
    if (find("EncryptionInfo") && find("EncryptedPackage"))
        return kind("docx,xlsx,pptx", "encrypted Office Open XML");
    if (const OleEntry* w = find("WordDocument")) return word_kind(ole, *w, ctx);
    if (find("PowerPoint Document")) return kind("ppt,pps,pot", "PowerPoint presentation");
    if (find("Workbook") || find("Book")) return kind("xls,xlt", "Excel workbook");
    if (find("VisioDocument")) return kind("vsd,vss,vst", "Visio drawing");
    if (find("Quill")) return kind("pub", "Publisher document");
    if (std::any_of(top.begin(), top.end(), [](const OleEntry* e) {
            return starts_with(e->name, "__substg1.0_") || e->name == "__properties_version1.0";
        }))
        return kind("msg", "mail message");
    // Installer databases: the root's class, else the encoded table names.
    if (!entries.empty()) {
        std::string_view clsid = entries[0].clsid;
        if (bytes::at(clsid, 1, std::string_view("\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 15))) {
            switch (bytes::u8(clsid, 0)) {
                case 0x84: return kind("msi,msm", "Windows Installer package");
                case 0x86: return kind("msp", "Windows Installer patch");
                case 0x82: return kind("mst", "Windows Installer transform");
                default: break;
            }
        }
    }
    if (std::count_if(top.begin(), top.end(), [](const OleEntry* e) { return e->encoded; }) >= 3 &&
        find("\x05SummaryInformation"))
        return kind("msi,msm", "Windows Installer package");
    return {};
}

// ---- CRX ---------------------------------------------------------------------------

std::string crx_kind(const HexImage& img, Context& ctx) {
    ctx.detail = "browser extension, version " + std::to_string(img.byte(4));
    return "crx";
}

}  // namespace

const Table& packages_table() {
    static const Table rows = {
    // row    tests                                                         answer
    {"zip",   {at(0, "504B0304")},                                         zip_kind},
    {"span",  {at(0, "504B0708504B0304")},                                 "zip",  {detail("ZIP archive (split marker)")}},
    {"empty", {at(0, "504B0506"), size_at_least(22)},                      "zip",  {detail("empty ZIP archive")}},
    {"ole",   {at(0, "D0CF11E0A1B11AE1")},                                 ole_kind},
    {"crx",   {at(0, "43723234"), at_one_of(4, {"02000000", "03000000"})}, crx_kind},
    };
    return rows;
}

}  // namespace zarvo::current
