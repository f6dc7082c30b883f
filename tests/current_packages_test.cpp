// The current-formats layer's packages: ZIP-based documents and packages
// told by their entries, OLE compound documents by their streams, and
// hostile directories of both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "context.hpp"
#include "current/layer.hpp"
#include "current/probe.hpp"

namespace {

using zarvo::Context;
using zarvo::current::kBudget;
using zarvo::current::Probe;

struct Outcome {
    std::string result, detail;
    std::size_t spent = 0;
};

Outcome ask(const std::string& bytes, std::string_view ext = {}) {
    Probe probe = Probe::of_bytes(bytes, ext);
    Context ctx;
    ctx.options = zarvo::kCurrent;
    std::string result = zarvo::current::identify(probe, ctx);
    return {result, ctx.detail, probe.spent()};
}

void put16(std::string& s, std::size_t at, std::uint32_t v) {
    if (s.size() < at + 2) s.resize(at + 2);
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::size_t at, std::uint64_t v) {
    put16(s, at, static_cast<std::uint32_t>(v & 0xFFFF));
    put16(s, at + 2, static_cast<std::uint32_t>((v >> 16) & 0xFFFF));
}
void put64(std::string& s, std::size_t at, std::uint64_t v) {
    put32(s, at, v & 0xFFFFFFFF);
    put32(s, at + 4, v >> 32);
}

// ---- ZIP fixtures ----------------------------------------------------------------

const std::string kTypes = "[Content_Types].xml";
// Data the fixtures mark as deflated (method 8): its text cannot be read.
const std::string kDeflated = "\x4B\x03\x00";

using Entries = std::vector<std::pair<std::string, std::string>>;

struct ZipParts {
    std::string body;       // local headers and data
    std::string directory;  // central directory
    std::size_t count = 0;
};

// Entries laid out as the public ZIP format writes them: stored, or
// marked deflated when their data is kDeflated or their name is listed.
ZipParts zip_parts(const Entries& entries, const std::vector<std::string>& deflated = {}) {
    ZipParts z;
    for (const auto& [name, data] : entries) {
        std::string local(30, '\0');
        local.replace(0, 4, "PK\x03\x04");
        put16(local, 4, 20);
        bool listed = std::find(deflated.begin(), deflated.end(), name) != deflated.end();
        std::uint32_t method = data == kDeflated || listed ? 8 : 0;
        put16(local, 8, method);
        put32(local, 18, data.size());
        put32(local, 22, data.size());
        put16(local, 26, static_cast<std::uint32_t>(name.size()));
        std::string central(46, '\0');
        central.replace(0, 4, "PK\x01\x02");
        put16(central, 4, 20);
        put16(central, 6, 20);
        put16(central, 10, method);
        put32(central, 20, data.size());
        put32(central, 24, data.size());
        put16(central, 28, static_cast<std::uint32_t>(name.size()));
        put32(central, 42, z.body.size());
        z.body += local + name + data;
        z.directory += central + name;
        ++z.count;
    }
    return z;
}

std::string eocd(std::size_t count, std::uint64_t cd_size, std::uint64_t cd_offset) {
    std::string e(22, '\0');
    e.replace(0, 4, "PK\x05\x06");
    put16(e, 8, static_cast<std::uint32_t>(count));
    put16(e, 10, static_cast<std::uint32_t>(count));
    put32(e, 12, cd_size);
    put32(e, 16, cd_offset);
    return e;
}

std::string zip_of(const Entries& entries, const std::vector<std::string>& deflated = {}) {
    ZipParts z = zip_parts(entries, deflated);
    return z.body + z.directory + eocd(z.count, z.directory.size(), z.body.size());
}

// A body too large for the head, so the names must come from the tail.
Entries padded(Entries entries) {
    entries.insert(entries.begin(), {"padding.dat", std::string(9000, 'p')});
    return entries;
}

TEST(CurrentPackages, ZipKindsByTheirEntries) {
    const std::string odt = "application/vnd.oasis.opendocument.text";
    struct Case {
        const char* what;
        Entries entries;
        const char* result;
        const char* detail;
    } cases[] = {
        {"docx", {{kTypes, kDeflated}, {"_rels/.rels", ""}, {"word/document.xml", ""}}, "docx,dotx,docm", "Office Open XML document"},
        {"docm", {{kTypes, kDeflated}, {"word/document.xml", ""}, {"word/vbaProject.bin", ""}}, "docm,dotm", "Office Open XML document with macros"},
        {"xlsx", {{kTypes, kDeflated}, {"xl/workbook.xml", ""}}, "xlsx,xltx,xlsm", "Office Open XML workbook"},
        {"pptm", {{kTypes, kDeflated}, {"ppt/presentation.xml", ""}, {"ppt/vbaProject.bin", ""}}, "pptm,ppsm,potm", "Office Open XML presentation with macros"},
        {"vsdx", {{kTypes, kDeflated}, {"visio/document.xml", ""}}, "vsdx,vstx,vsdm", "Office Open XML drawing"},
        // Content types stored plain decide the template and show forms.
        {"dotx", {{kTypes, "wordprocessingml.template.main+xml"}, {"word/document.xml", ""}}, "dotx", "Office Open XML document"},
        {"ppsx", {{kTypes, "presentationml.slideshow.main+xml"}, {"ppt/presentation.xml", ""}}, "ppsx", "Office Open XML presentation"},
        {"xltm", {{kTypes, "ms-excel.template.macroEnabled.main+xml"}, {"xl/workbook.xml", ""}}, "xltm", "Office Open XML workbook with macros"},
        {"xlsx by types", {{kTypes, "spreadsheetml.sheet.main+xml"}, {"xl/workbook.xml", ""}}, "xlsx", "Office Open XML workbook"},
        {"odt", {{"mimetype", odt}, {"content.xml", ""}}, "odt", "OpenDocument text"},
        {"ots", {{"mimetype", odt.substr(0, 35) + "spreadsheet-template"}}, "ots", "OpenDocument spreadsheet template"},
        {"epub", {{"mimetype", "application/epub+zip"}, {"OEBPS/a.xhtml", ""}}, "epub", "EPUB book"},
        {"hwpx", {{"mimetype", "application/hwp+zip"}}, "hwpx", "Hangul word processor document"},
        {"jar", {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0"}, {"a/B.class", ""}}, "jar", "Java archive"},
        {"war", {{"META-INF/MANIFEST.MF", ""}, {"WEB-INF/web.xml", ""}}, "war", "Java web archive"},
        {"ear", {{"META-INF/MANIFEST.MF", ""}, {"META-INF/application.xml", ""}}, "ear", "Java enterprise archive"},
        {"apk", {{"AndroidManifest.xml", ""}, {"classes.dex", ""}, {"META-INF/MANIFEST.MF", ""}}, "apk", "Android package"},
        {"aab", {{"base/manifest/AndroidManifest.xml", ""}}, "aab", "Android app bundle"},
        {"ipa", {{"Payload/", ""}, {"Payload/App.app/Info.plist", ""}}, "ipa", "iOS app package"},
        {"whl", {{"pkg/__init__.py", ""}, {"pkg-1.0.dist-info/WHEEL", ""}}, "whl", "Python wheel"},
        {"xpi rdf", {{"install.rdf", ""}}, "xpi", "browser extension"},
        {"xpi signed", {{"manifest.json", "{}"}, {"META-INF/mozilla.rsa", ""}, {"META-INF/manifest.mf", ""}}, "xpi", "browser extension"},
        {"kmz", {{"doc.kml", "<kml/>"}, {"files/a.png", ""}}, "kmz", "KML package"},
        {"nupkg", {{kTypes, kDeflated}, {"Lib.nuspec", ""}, {"lib/a.dll", ""}}, "nupkg", "NuGet package"},
        {"appx", {{kTypes, kDeflated}, {"AppxManifest.xml", ""}, {"AppxBlockMap.xml", ""}}, "appx,msix", "app package"},
        {"xps", {{kTypes, kDeflated}, {"FixedDocumentSequence.fdseq", ""}}, "xps,oxps", "XPS document"},
        {"3mf", {{kTypes, kDeflated}, {"3D/3dmodel.model", ""}}, "3mf", "3D manufacturing package"},
        {"cbz", {{"c/", ""}, {"c/001.JPG", ""}, {"c/002.png", ""}}, "cbz,zip", "comic book archive"},
    };
    for (const Case& c : cases) {
        for (bool far : {false, true}) {
            // mimetype must come first, and a comic book holds images alone:
            // only the near layout keeps them so.
            if (far && (c.entries.front().first == "mimetype" || c.result == std::string("cbz,zip"))) continue;
            Outcome got = ask(zip_of(far ? padded(c.entries) : c.entries));
            EXPECT_EQ(got.result, c.result) << c.what << (far ? " (directory in the tail)" : "");
            EXPECT_EQ(got.detail, c.detail) << c.what;
        }
    }
}

// Text as deflated data: one final fixed Huffman block of literals, or
// one stored block.
std::string deflate_literals(const std::string& text) {
    std::string out;
    std::uint32_t acc = 0;
    int held = 0;
    auto code = [&](std::uint32_t c, int n) {  // highest bit first
        for (int i = n; i-- > 0;) {
            acc |= ((c >> i) & 1) << held++;
            if (held == 8) out.push_back(static_cast<char>(acc)), acc = 0, held = 0;
        }
    };
    code(0b110, 3);  // final, then type 1 (fixed), lowest bit first
    for (unsigned char c : text) c < 144 ? code(0x30 + c, 8) : code(0x190 + c - 144, 9);
    code(0, 7);  // end of block
    if (held) out.push_back(static_cast<char>(acc));
    return out;
}
std::string deflate_stored(const std::string& text) {
    std::string out = "\x01";
    put16(out, 1, static_cast<std::uint32_t>(text.size()));
    put16(out, 3, static_cast<std::uint32_t>(~text.size() & 0xFFFF));
    return out + text;
}

TEST(CurrentPackages, DeflatedContentTypesTellTemplatesAndShows) {
    auto types = [](const std::string& part, const std::string& type) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
               "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
               "<Override PartName=\"/" + part + "\" ContentType=\"application/" + type + "\"/></Types>";
    };
    const std::string ox = "vnd.openxmlformats-officedocument.";
    struct Case {
        const char* what;
        std::string part, type;
        const char* result;
        const char* detail;
    } cases[] = {
        {"dotx", "word/document.xml", ox + "wordprocessingml.template.main+xml", "dotx", "Office Open XML document"},
        {"docx", "word/document.xml", ox + "wordprocessingml.document.main+xml", "docx", "Office Open XML document"},
        {"xltx", "xl/workbook.xml", ox + "spreadsheetml.template.main+xml", "xltx", "Office Open XML workbook"},
        {"xlsm", "xl/workbook.xml", "vnd.ms-excel.sheet.macroEnabled.main+xml", "xlsm", "Office Open XML workbook with macros"},
        {"potx", "ppt/presentation.xml", ox + "presentationml.template.main+xml", "potx", "Office Open XML presentation"},
        {"ppsx", "ppt/presentation.xml", ox + "presentationml.slideshow.main+xml", "ppsx", "Office Open XML presentation"},
        {"pptx", "ppt/presentation.xml", ox + "presentationml.presentation.main+xml", "pptx", "Office Open XML presentation"},
    };
    for (const Case& c : cases) {
        std::string text = types(c.part, c.type);
        for (const std::string& data : {deflate_literals(text), deflate_stored(text)}) {
            for (bool far : {false, true}) {
                Entries e = {{kTypes, data}, {"_rels/.rels", ""}, {c.part, ""}};
                Outcome got = ask(zip_of(far ? padded(e) : e, {kTypes}));
                EXPECT_EQ(got.result, c.result) << c.what << (far ? " (far)" : "");
                EXPECT_EQ(got.detail, c.detail) << c.what;
                EXPECT_LE(got.spent, kBudget) << c.what;
            }
        }
    }
    // Content types that cannot be read, or say nothing of the main part,
    // leave the choice open.
    std::string dotx = types("word/document.xml", ox + "wordprocessingml.template.main+xml");
    std::string encrypted = zip_of({{kTypes, deflate_literals(dotx)}, {"word/document.xml", ""}}, {kTypes});
    put16(encrypted, 6, 0x0001);
    const std::pair<const char*, std::string> open[] = {
        {"reserved block type", zip_of({{kTypes, "\x07"}, {"word/document.xml", ""}}, {kTypes})},
        {"cut inside its header", zip_of({{kTypes, deflate_literals(dotx).substr(0, 1)}, {"word/document.xml", ""}}, {kTypes})},
        {"encrypted", encrypted},
        {"stored, no main part", zip_of({{kTypes, "<Types><Default Extension=\"xml\"/></Types>"}, {"word/document.xml", ""}})},
    };
    for (const auto& [what, file] : open) EXPECT_EQ(ask(file).result, "docx,dotx,docm") << what;
}

TEST(CurrentPackages, PlainZipsAreLeftToTheClassicChain) {
    const Entries plain[] = {
        {{"readme.txt", "hello"}},
        {{"a.png", ""}},                                  // one image is no comic book
        {{"a.png", ""}, {"notes.txt", ""}},
        {{"word/document.xml", ""}},                      // an Office folder without content types
        {{"mimetype", "text/plain"}, {"x", ""}},
        {{"AndroidManifest.xml", ""}},                    // no code, no resources
    };
    for (const Entries& e : plain) EXPECT_EQ(ask(zip_of(e)).result, "") << e.front().first;
    // Other ZIP forms the classic chain misses.
    EXPECT_EQ(ask(eocd(0, 0, 0)).result, "zip");
    EXPECT_EQ(ask("PK\x07\x08" + zip_of({{"a.txt", "x"}})).result, "zip");
}

TEST(CurrentPackages, Zip64DirectoryIsFollowed) {
    ZipParts z = zip_parts(padded({{"META-INF/MANIFEST.MF", ""}}));
    std::string file = z.body + z.directory;
    std::string record(56, '\0');
    record.replace(0, 4, "PK\x06\x06");
    put64(record, 4, 44);
    put64(record, 24, z.count);
    put64(record, 32, z.count);
    put64(record, 40, z.directory.size());
    put64(record, 48, z.body.size());
    std::string locator(20, '\0');
    locator.replace(0, 4, "PK\x06\x07");
    put64(locator, 8, file.size());
    file += record + locator + eocd(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    EXPECT_EQ(ask(file).result, "jar");
    // The same archive with nothing to tell: a ZIP64 archive.
    ZipParts y = zip_parts(padded({{"a.txt", "x"}}));
    record.replace(40, 16, std::string(16, '\0'));
    put64(record, 40, y.directory.size());
    put64(record, 48, y.body.size());
    std::string plain = y.body + y.directory;
    put64(locator, 8, plain.size());
    plain += record + locator + eocd(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    Outcome got = ask(plain);
    EXPECT_EQ(got.result, "zip");
    EXPECT_EQ(got.detail, "ZIP64 archive");
}

TEST(CurrentPackages, HostileZipDirectoriesStayInBoundsAndBudget) {
    ZipParts z = zip_parts(padded({{"META-INF/MANIFEST.MF", ""}}));
    const std::uint64_t huge = 0xFFFFFFF0;
    std::string lying_name = z.directory;
    put16(lying_name, 28, 0xFFFF);  // a name running past the directory
    std::string zip64_far(56, '\0');
    std::string locator(20, '\0');
    locator.replace(0, 4, "PK\x06\x07");
    put64(locator, 8, ~std::uint64_t{0} - 10);  // ZIP64 record at the end of the number range
    const std::pair<const char*, std::string> cases[] = {
        {"directory offset past the end", z.body + z.directory + eocd(1, z.directory.size(), huge)},
        {"directory size past the end", z.body + z.directory + eocd(1, huge, z.body.size())},
        {"directory size zero", z.body + z.directory + eocd(1, 0, z.body.size())},
        {"far more entries than the directory holds", z.body + z.directory + eocd(65535, z.directory.size(), z.body.size())},
        {"name past the directory", z.body + lying_name + eocd(1, lying_name.size(), z.body.size())},
        {"offset into the local data", z.body + z.directory + eocd(1, z.directory.size(), 40)},
        {"ZIP64 locator out of range", z.body + z.directory + locator + eocd(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF)},
        {"end record alone at the end", z.body + eocd(1, 46, z.body.size())},
        {"comment length past the end", z.body + z.directory + eocd(1, z.directory.size(), z.body.size()).substr(0, 20) + "\xFF\xFF"},
    };
    for (const auto& [what, file] : cases) {
        Outcome got = ask(file);
        EXPECT_LE(got.spent, kBudget) << what;
        // Where the directory cannot be used, the local headers still tell.
        EXPECT_TRUE(got.result.empty() || got.result == "jar") << what << ": " << got.result;
    }
    // The directory out of reach: the local headers from the start tell.
    EXPECT_EQ(ask(z.body + z.directory + eocd(1, z.directory.size(), huge)).result, "jar");
    // A local header whose sizes send the walk past the end, and a data
    // descriptor's zero size, end the walk quietly.
    std::string runaway = zip_parts({{"x.txt", "abc"}}).body;
    put32(runaway, 18, huge);
    EXPECT_EQ(ask(runaway).result, "");
}

TEST(CurrentPackages, LargeDirectoriesAreReadWithinTheBudget) {
    Entries many;
    for (int i = 0; i < 3000; ++i) many.push_back({"files/entry-number-" + std::to_string(i) + ".txt", ""});
    many.push_back({"META-INF/MANIFEST.MF", ""});  // beyond what the budget reaches
    many.insert(many.begin(), {"META-INF/MANIFEST.MF", ""});
    std::string file = zip_of(many);
    ASSERT_GT(file.size(), 2 * kBudget);
    Outcome got = ask(file);
    EXPECT_EQ(got.result, "jar");
    EXPECT_LE(got.spent, kBudget);
    // Every truncation of a package: no read out of bounds, within budget.
    std::string docx = zip_of(padded({{kTypes, kDeflated}, {"word/document.xml", ""}}));
    for (std::size_t n = 0; n < docx.size(); n += 97) EXPECT_LE(ask(docx.substr(0, n)).spent, kBudget);
}

TEST(CurrentPackages, CrxHeader) {
    std::string crx = std::string("Cr24\x03", 5) + std::string(3, '\0') + std::string(8, '\0');
    Outcome got = ask(crx);
    EXPECT_EQ(got.result, "crx");
    EXPECT_EQ(got.detail, "browser extension, version 3");
}

// ---- OLE fixtures ----------------------------------------------------------------

struct OleStream {
    std::string name;
    std::uint32_t left = 0xFFFFFFFF, right = 0xFFFFFFFF;
    unsigned type = 2;
};

// A compound file of 512-byte sectors: the FAT in sector 0, the directory
// in sector 1 (root and up to three entries), data in sector 2. Without
// siblings given, the streams are chained as right siblings.
std::string ole_of(std::vector<OleStream> streams, std::string clsid = std::string(16, '\0')) {
    std::string f(512 * 4, '\0');
    f.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    put16(f, 24, 0x3E);
    put16(f, 26, 3);
    put16(f, 28, 0xFFFE);
    put16(f, 30, 9);
    put16(f, 32, 6);
    put32(f, 44, 1);
    put32(f, 48, 1);
    put32(f, 56, 4096);
    put32(f, 60, 0xFFFFFFFE);
    put32(f, 68, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i) put32(f, 76 + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    for (int i = 0; i < 128; ++i) put32(f, 512 + 4 * i, 0xFFFFFFFF);
    put32(f, 512, 0xFFFFFFFD);
    put32(f, 516, 0xFFFFFFFE);
    put32(f, 520, 0xFFFFFFFE);
    auto entry = [&](std::size_t index, const std::string& name, unsigned type, std::uint32_t left, std::uint32_t right,
                     std::uint32_t child) {
        std::size_t at = 1024 + 128 * index;
        for (std::size_t i = 0; i < name.size(); ++i) put16(f, at + 2 * i, static_cast<unsigned char>(name[i]));
        put16(f, at + 64, static_cast<std::uint32_t>(2 * (name.size() + 1)));
        f[at + 66] = static_cast<char>(type);
        put32(f, at + 68, left);
        put32(f, at + 72, right);
        put32(f, at + 76, child);
        put32(f, at + 116, 2);
        put32(f, at + 120, 4096);
    };
    entry(0, "Root Entry", 5, 0xFFFFFFFF, 0xFFFFFFFF, streams.empty() ? 0xFFFFFFFF : 1);
    f.replace(1024 + 80, 16, clsid);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        OleStream& s = streams[i];
        bool chained = s.left == 0xFFFFFFFF && s.right == 0xFFFFFFFF && i + 1 < streams.size();
        entry(i + 1, s.name, s.type, s.left, chained ? static_cast<std::uint32_t>(i + 2) : s.right, 0xFFFFFFFF);
    }
    return f;
}

std::string with_fib_flags(std::string ole, std::uint32_t flags) {
    put16(ole, 1536, 0xA5EC);
    put16(ole, 1536 + 10, flags);
    return ole;
}

TEST(CurrentPackages, OleKindsByTheirStreams) {
    const std::string msi_class("\x84\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    std::string msp_class = msi_class;
    msp_class[0] = '\x86';
    struct Case {
        const char* what;
        std::string file;
        const char* result;
        const char* detail;
    } cases[] = {
        {"doc", ole_of({{"\x01" "CompObj"}, {"WordDocument"}, {"1Table"}}), "doc,dot", "Word document"},
        {"dot", with_fib_flags(ole_of({{"WordDocument"}}), 0x0001), "dot,doc", "Word template"},
        {"encrypted doc", with_fib_flags(ole_of({{"WordDocument"}}), 0x0100), "doc,dot", "Word document (encrypted)"},
        {"xls", ole_of({{"Workbook"}, {"\x05SummaryInformation"}}), "xls,xlt", "Excel workbook"},
        {"xls 5", ole_of({{"Book"}}), "xls,xlt", "Excel workbook"},
        {"ppt", ole_of({{"Current User"}, {"PowerPoint Document"}}), "ppt,pps,pot", "PowerPoint presentation"},
        {"vsd", ole_of({{"VisioDocument"}}), "vsd,vss,vst", "Visio drawing"},
        {"pub", ole_of({{"Contents"}, {"Quill", 0xFFFFFFFF, 0xFFFFFFFF, 1}}), "pub", "Publisher document"},
        {"msg", ole_of({{"__nameid_version1.0", 0xFFFFFFFF, 0xFFFFFFFF, 1}, {"__substg1.0_0037001F"}}), "msg", "mail message"},
        {"encrypted OOXML", ole_of({{"EncryptionInfo"}, {"EncryptedPackage"}, {"\x06" "DataSpaces", 0xFFFFFFFF, 0xFFFFFFFF, 1}}),
         "docx,xlsx,pptx", "encrypted Office Open XML"},
        {"msi", ole_of({{"\x05SummaryInformation"}}, msi_class), "msi,msm", "Windows Installer package"},
        {"msp", ole_of({{"\x05SummaryInformation"}}, msp_class), "msp", "Windows Installer patch"},
        // Siblings as a tree: the root's child with a left and a right one.
        {"tree", ole_of({{"Data", 2, 3}, {"\x01" "CompObj"}, {"WordDocument"}}), "doc,dot", "Word document"},
    };
    for (const Case& c : cases) {
        Outcome got = ask(c.file);
        EXPECT_EQ(got.result, c.result) << c.what;
        EXPECT_EQ(got.detail, c.detail) << c.what;
    }
}

TEST(CurrentPackages, OleStreamsBelowTheRootDoNotCount) {
    // An embedded document inside a storage of another compound file: the
    // stream is there, but not among the root's children.
    std::string f = ole_of({{"Pictures"}, {"ObjectPool", 0xFFFFFFFF, 0xFFFFFFFF, 1}, {"WordDocument"}});
    // Make WordDocument (entry 3) the child of ObjectPool instead of a sibling.
    put32(f, 1024 + 128 * 2 + 72, 0xFFFFFFFF);
    put32(f, 1024 + 128 * 2 + 76, 3);
    EXPECT_EQ(ask(f).result, "");
    EXPECT_EQ(ask(ole_of({{"Thumbs"}, {"Catalog"}})).result, "");
    EXPECT_EQ(ask(ole_of({})).result, "");
}

TEST(CurrentPackages, HostileOleDirectoriesStayInBoundsAndBudget) {
    std::string base = ole_of({{"WordDocument"}});
    auto variant = [&](std::size_t at, std::uint32_t value, bool wide = true) {
        std::string f = base;
        wide ? put32(f, at, value) : put16(f, at, value);
        return f;
    };
    std::string sibling_loop = ole_of({{"A", 0xFFFFFFFF, 2}, {"B", 1, 1}});
    const std::pair<const char*, std::string> cases[] = {
        {"directory chain loops on itself", variant(516, 1)},
        {"directory sector out of range", variant(48, 0x7FFFFFF0)},
        {"FAT sector out of range", variant(76, 0x7FFFFFF0)},
        {"FAT chain into a missing sector", variant(516, 900)},
        {"sector size of 2^31", variant(30, 31, false)},
        {"name length past the entry", variant(1024 + 128 + 64, 0xFFFF, false)},
        {"siblings that loop", sibling_loop},
        {"child pointing at the root", variant(1024 + 128 + 76, 0)},
        {"stream start out of range", variant(1024 + 128 + 116, 0xFFFFFFF0)},
    };
    for (const auto& [what, file] : cases) {
        Outcome got = ask(file);
        EXPECT_LE(got.spent, kBudget) << what;
        EXPECT_TRUE(got.result.empty() || got.result == "doc,dot") << what << ": " << got.result;
    }
    EXPECT_EQ(ask(sibling_loop).result, "");
    for (std::size_t n = 0; n < base.size(); n += 61) EXPECT_LE(ask(base.substr(0, n)).spent, kBudget);
}

}  // namespace
