// The path part reader and the candidate ordering.
#include <gtest/gtest.h>

#include "candidates.hpp"
#include "path_parts.hpp"
#include "support.hpp"

using zarvo::kPosixPaths;
using zarvo::kWindowsPaths;
using zarvo::order_candidates;
using zarvo::path_part;
using oxtarn::test::sj;

TEST(PathParts, WindowsRules) {
    struct Case {
        const char* path;
        int part;
        const char* want;
    } cases[] = {
        {R"(C:\Data\Photo.JPG)", 2, "JPG"},
        {R"(C:\Data\photo.jpg.)", 2, "jpg"},
        {R"(C:\Data.old\readme)", 2, ""},
        {R"(C:\Data.old\readme)", 1, "readme"},
        {R"(C:\Data\)", 2, ""},
        {R"(C:\Data\)", 4, R"(C:\Data\)"},
        {"ab", 2, ""},
        {"ab", 4, ""},
        {"ab.", 1, "ab"},  // fewer than 3 characters is checked before the dot goes
        {"x.wmz..", 2, ""},
        {R"(C:\Data\photo.jpg)", 4, R"(C:\Data\)"},
        {R"(C:\Data\photo.jpg)", 3, "photo.jpg"},
        {R"(C:\Data\photo.jpg)", 1, "photo"},
        {R"(C:\Data\photo.jpg)", 7, ""},
        {R"(C:\Data\photo)", 7, "photo"},
        {"C:photo.jpg", 4, R"(C:\)"},
        {"C:photo.jpg", 1, "photo"},
        {"photo.jpg", 4, ""},
        {R"(D:\src\archive.tar.gz)", 2, "gz"},
        {R"(D:\home\.profile)", 2, "profile"},
        {R"(D:\home\.profile)", 1, ""},
        {"C:/x/a.b/c", 2, "b/c"},  // a forward slash is an ordinary character
    };
    for (const Case& c : cases) EXPECT_EQ(path_part(c.path, c.part, kWindowsPaths), c.want) << c.path << " part " << c.part;
}

TEST(PathParts, WindowsDoubleByteNamesKeepTheirTrailBytes) {
    // 表 and ソ end in the byte 5C, the backslash: it separates nothing.
    const std::string folder = sj("C:\\写真\\"), name = sj("表紙ソ");
    struct Case {
        std::string path;
        int part;
        std::string want;
    } cases[] = {
        {folder + name + ".dat", 1, name},
        {folder + name + ".dat", 2, "dat"},
        {folder + name + ".dat", 4, folder},
        {folder + name, 3, name},
        {folder + name, 2, ""},
        {sj("C:\\表"), 3, sj("表")},  // ends in 5C, yet not in a separator
        {"C:\\x\x8E.txt", 2, "txt"},     // a stray lead byte does not swallow the dot
    };
    for (const Case& c : cases) EXPECT_EQ(path_part(c.path, c.part, kWindowsPaths), c.want) << c.path << " part " << c.part;
}

TEST(PathParts, PosixRules) {
    struct Case {
        const char* path;
        int part;
        const char* want;
    } cases[] = {
        {"/data/Photo.JPG", 2, "JPG"},
        {"/data.old/readme", 2, ""},
        {"/data/", 4, "/data/"},
        {"/data/photo.jpg", 4, "/data/"},
        {"C:photo.jpg", 1, "C:photo"},  // no drive rule
        {"C:photo.jpg", 4, ""},
        {R"(dir\name.txt)", 2, "txt"},  // a backslash is an ordinary character
        {"/x/写真.jpeg", 2, "jpeg"},
    };
    for (const Case& c : cases) EXPECT_EQ(path_part(c.path, c.part, kPosixPaths), c.want) << c.path << " part " << c.part;
}

TEST(CandidateOrdering, PresentExtensionComesFirst) {
    struct Case {
        const char* result;
        const char* ext;
        const char* want;
    } cases[] = {
        {"zip,jar,wmz,wsz,nar", "jar", "jar,zip,wmz,wsz,nar"},
        {"zip,jar,wmz,wsz,nar", "JAR", "jar,zip,wmz,wsz,nar"},  // case ignored, spelling kept
        {"zip,jar,wmz,wsz,nar", "txt", "zip,jar,wmz,wsz,nar"},
        {"rar,r00,r01", "r01", "r01,rar,r00"},
        {"mp3", "wav", "mp3"},
        {"", "wav", ""},
        {",001,002", "002", "002,,001"},  // an empty entry keeps its place
        {"pAB,x", "pab", "pAB,x"},
        {"a,b,a", "a", "a,b"},  // the last equal entry takes the front
        {"st0,st1,st2,st3", "st3", "st3,st0,st1,st2"},
    };
    for (const Case& c : cases) EXPECT_EQ(order_candidates(c.result, c.ext), c.want) << c.result << " / " << c.ext;
}
