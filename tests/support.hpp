// Helpers shared by the tests: files built from hex, a temporary folder,
// and identification through the exported interface.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zarvo::rules {
class Table;
}

namespace oxtarn::test {

// The bytes that a hex text spells ("50 4B 03 04" or "504B0304").
std::string bytes(std::string_view hex);

// The Shift-JIS bytes of a UTF-8 text, for readable expectations.
std::string sj(std::string_view utf8);

// `size` zero bytes with the given hex patterns written at their offsets
// (the file grows where a pattern runs past `size`).
std::string file_with(std::size_t size, std::initializer_list<std::pair<std::size_t, std::string_view>> parts);

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The path of `name` in the folder (with the system's separator).
    std::string file(std::string_view name) const;
    // Writes `content` to the file `name` in the folder; returns its path.
    std::string write(std::string_view name, std::string_view content) const;

private:
    std::string path_;
};

// A path that exists and opens but is no regular file: a FIFO made in `dir`
// on POSIX, the null device on Windows.
std::string not_regular_file(const TempDir& dir);

// The three fields of a result record, as ZarvoGetInfo wrote them.
struct Record {
    std::string extension;
    std::string description;
    std::string detail;
    bool operator==(const Record&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Record& r);

// ZarvoGetInfo through the exported interface (quiet unless told otherwise).
Record info(const std::string& path, std::int32_t sample_length = 256, std::uint32_t options = 8);

// gGetWhatEx through the exported interface.
std::string what(const std::string& ext, std::int32_t table);

// The record a correct engine writes for `extension` found with `variant`
// and `detail`: the description is the catalogue's for the first entry.
Record expected(std::string_view extension, int variant = 1, std::string_view detail = "");

// Identifies `content` written to a file named `name` (the present extension
// comes from it) with the given sample length and option bits.
Record identify_bytes(std::string_view content, std::int32_t sample_length = 256, std::uint32_t options = 8,
                      std::string_view name = "sample.bin");

// One file standing for a row (or branch) of a family table, and the record
// the engine must write for it.
struct RowCase {
    std::string row;
    std::string content;
    Record want;
    std::int32_t sample = 256;
    std::uint32_t options = 8;
    std::string name = "sample.bin";
};

// Identifies each case's file through the exported interface and compares
// the whole record, naming the row on a mismatch. With the family's table,
// also checks that the file without its last byte (the last byte the row
// reads) is no longer given the row's answer by that table alone.
void check_rows(const std::vector<RowCase>& cases, const zarvo::rules::Table* family = nullptr);

}  // namespace oxtarn::test
