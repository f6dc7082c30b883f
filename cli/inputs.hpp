// The paths to identify, one at a time: arguments, folders walked
// recursively, and lists read from a file or standard input. Lists are read
// as they are needed, so that a long list is never held whole.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace oxtarn::cli {

struct InputOptions {
    bool recursive = false;
    bool follow_symlinks = false;
    bool null_separated = false;  // lists are NUL-separated instead of one path a line
};

// Lines (or NUL-ended records) of a stream, each at most `limit` bytes;
// a longer one is read to its end without being kept.
class LineReader {
public:
    LineReader(std::FILE* in, char delimiter, std::size_t limit) : in_(in), delim_(delimiter), limit_(limit) {}
    enum class Status { kLine, kTooLong, kEnd, kError };
    // The next line, without its delimiter; `ended` tells whether the
    // delimiter was there (a last line may lack it).
    Status next(std::string& line, bool& ended);
    // True when the next call has to read from the stream (and may wait).
    bool empty() const { return pos_ == end_; }

private:
    bool fill();
    std::FILE* in_;
    char delim_;
    std::size_t limit_;
    std::vector<char> buffer_ = std::vector<char>(1 << 16);
    std::size_t pos_ = 0, end_ = 0;
    bool eof_ = false, error_ = false;
};

// Opens a list or journal to read: refuses folders and devices (which could
// be read for ever) and, with `regular_only`, anything but a regular file.
// Returns nullptr with the reason in `error`.
std::FILE* open_to_read(const std::string& path, bool regular_only, std::string& error);

// The longest path the system takes, in bytes.
std::size_t longest_path();

// One input: a path to identify, or (with `error` set) what went wrong
// with the input `path` (a folder or a list).
struct Input {
    std::string path;
    std::string error;
};

class PathSource {
public:
    // `args` ("-" reads a list from standard input) and the list file
    // `files_from` (empty: none; "-": standard input), in that order.
    PathSource(const std::vector<std::string>& args, const std::string& files_from, const InputOptions& opt);
    ~PathSource();
    // The next input; false when there are no more.
    bool next(Input& item);
    // True when next() may have to wait for a list being written.
    bool may_wait() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace oxtarn::cli
