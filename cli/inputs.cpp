#include "inputs.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <set>
#include <utility>

#include "system.hpp"

#ifdef _WIN32
#include <io.h>
#define READ_SOME(fd, buf, n) ::_read(fd, buf, static_cast<unsigned>(n))
#define FILE_NUMBER ::_fileno
#else
#include <unistd.h>
#define READ_SOME ::read
#define FILE_NUMBER ::fileno
#endif

namespace oxtarn::cli {

namespace fs = std::filesystem;

// ---- reading lines

bool LineReader::fill() {
    if (eof_ || error_) return false;
    pos_ = 0;
    // What the stream holds now, without waiting for a whole buffer: a list
    // written a line at a time is read a line at a time.
    long got;
    do got = static_cast<long>(READ_SOME(FILE_NUMBER(in_), buffer_.data(), buffer_.size()));
    while (got < 0 && errno == EINTR);
    end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (got <= 0) {
        error_ = got < 0;
        eof_ = true;
        return false;
    }
    return true;
}

LineReader::Status LineReader::next(std::string& line, bool& ended) {
    line.clear();
    ended = false;
    bool too_long = false, any = false;
    for (;;) {
        if (pos_ == end_ && !fill()) {
            if (error_) return Status::kError;
            if (!any) return Status::kEnd;
            return too_long ? Status::kTooLong : Status::kLine;
        }
        any = true;
        const char* start = buffer_.data() + pos_;
        const char* stop = static_cast<const char*>(std::memchr(start, delim_, end_ - pos_));
        std::size_t n = stop ? static_cast<std::size_t>(stop - start) : end_ - pos_;
        if (!too_long) {
            if (line.size() + n > limit_) {
                too_long = true;
                line.clear();
            } else {
                line.append(start, n);
            }
        }
        pos_ += n;
        if (stop) {
            ++pos_;
            ended = true;
            return too_long ? Status::kTooLong : Status::kLine;
        }
    }
}

std::size_t longest_path() {
#if defined(PATH_MAX)
    return PATH_MAX - 1;
#else
    return 32767;  // the longest path Windows takes
#endif
}

std::FILE* open_to_read(const std::string& path, bool regular_only, std::string& error) {
#ifdef _WIN32
    struct _stat64 st {};
    if (::_stat64(path.c_str(), &st) != 0) {
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
#endif
        error = std::strerror(errno);
        return nullptr;
    }
    if ((st.st_mode & S_IFMT) == S_IFDIR) {
        error = "is a folder";
        return nullptr;
    }
    if ((st.st_mode & S_IFMT) != S_IFREG && (regular_only || (st.st_mode & S_IFMT) == S_IFCHR
#ifdef S_IFBLK
                                             || (st.st_mode & S_IFMT) == S_IFBLK
#endif
                                             )) {
        error = regular_only ? "is not a regular file" : "is a device, not a list";
        return nullptr;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) error = std::strerror(errno);
    return f;
}

// ---- the inputs, one at a time

struct PathSource::Impl {
    // What is still to come, in order: arguments, then the list.
    std::vector<std::string> args;
    std::size_t next_arg = 0;
    std::string files_from;
    InputOptions opt;
    bool stdin_used = false;

    // The list being read (standard input or a file), if any.
    std::FILE* list = nullptr;
    bool list_owned = false;
    std::string list_name;
    std::unique_ptr<LineReader> reader;
    std::size_t line_number = 0;

    // Folders being walked: the sorted entries of each level, and where the walk is.
    struct Level {
        std::vector<fs::directory_entry> entries;
        std::size_t next = 0;
    };
    std::vector<Level> walk;
    std::set<FolderId> visited;  // folders entered, so that no loop is followed twice

    ~Impl() { close_list(); }

    void close_list() {
        if (list && list_owned) std::fclose(list);
        list = nullptr;
        reader.reset();
    }

    void start_list(std::FILE* f, bool owned, std::string name) {
        list = f;
        list_owned = owned;
        list_name = std::move(name);
        line_number = 0;
        reader = std::make_unique<LineReader>(f, opt.null_separated ? '\0' : '\n', longest_path());
    }

    // Enters a folder; false with the reason when it cannot be read.
    bool enter(const std::string& dir, std::string& error) {
        FolderId id;
        if (!folder_id(dir, id, error)) return false;
        if (!visited.insert(id).second) return true;
        std::error_code ec;
        Level level;
        for (fs::directory_iterator it(fs_path(dir), ec), end; !ec && it != end; it.increment(ec))
            level.entries.push_back(*it);
        if (ec) {
            error = ec.message();
            return false;
        }
        std::sort(level.entries.begin(), level.entries.end(),
                  [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
        walk.push_back(std::move(level));
        return true;
    }

    // The next file of the walk under way.
    bool next_walked(Input& item) {
        while (!walk.empty()) {
            Level& level = walk.back();
            if (level.next == level.entries.size()) {
                walk.pop_back();
                continue;
            }
            const fs::directory_entry e = level.entries[level.next++];
            std::error_code ec;
            std::string p = system_path(e.path());
            if (e.is_symlink(ec) && !opt.follow_symlinks) continue;
            if (e.is_directory(ec)) {
                std::string error;
                if (!enter(p, error)) {
                    item = {p, error};
                    return true;
                }
            } else if (e.is_regular_file(ec)) {
                item = {p, {}};
                return true;
            }
        }
        return false;
    }

    // A named path: walked with -r when it is a folder, else given as it is
    // (one system call fewer a file; a folder among them is reported when
    // it cannot be read).
    bool take_named(const std::string& p, Input& item) {
        std::error_code ec;
        if (opt.recursive && fs::is_directory(fs_path(p), ec)) {
            std::string error;
            if (!enter(p, error)) {
                item = {p, error};
                return true;
            }
            return next_walked(item);
        }
        item = {p, {}};
        return true;
    }

    // The next path of the list being read.
    bool next_listed(Input& item) {
        std::string line;
        bool ended = false;
        for (;;) {
            LineReader::Status status = reader->next(line, ended);
            ++line_number;
            switch (status) {
                case LineReader::Status::kEnd:
                    close_list();
                    return false;
                case LineReader::Status::kError:
                    item = {list_name, std::string("cannot read the list: ") + std::strerror(errno)};
                    close_list();
                    return true;
                case LineReader::Status::kTooLong:
                    item = {list_name, "entry " + std::to_string(line_number) + " is longer than the longest path (" +
                                               std::to_string(longest_path()) + " bytes)"};
                    return true;
                case LineReader::Status::kLine:
                    if (!opt.null_separated && !line.empty() && line.back() == '\r') line.pop_back();
                    if (line.empty()) continue;
                    if (take_named(line, item)) return true;
                    continue;
            }
        }
    }

    bool next(Input& item) {
        for (;;) {
            if (next_walked(item)) return true;
            if (reader) {
                if (next_listed(item)) return true;
                continue;
            }
            if (next_arg < args.size()) {
                const std::string& a = args[next_arg++];
                if (a == "-") {
                    if (!stdin_used) {
                        stdin_used = true;
                        start_list(stdin, false, "standard input");
                    }
                    continue;
                }
                if (take_named(a, item)) return true;
                continue;
            }
            return false;
        }
    }
};

PathSource::PathSource(const std::vector<std::string>& args, const std::string& files_from, const InputOptions& opt)
    : impl_(std::make_unique<Impl>()) {
    impl_->opt = opt;
    // The list of --files-from comes first, as it always has.
    if (files_from == "-") impl_->args.push_back("-");
    impl_->args.insert(impl_->args.end(), args.begin(), args.end());
    impl_->files_from = files_from;
}

PathSource::~PathSource() = default;

bool PathSource::may_wait() const { return impl_->reader && impl_->reader->empty(); }

bool PathSource::next(Input& item) {
    Impl& m = *impl_;
    if (!m.files_from.empty() && m.files_from != "-") {
        std::string name = std::move(m.files_from);
        m.files_from.clear();
        std::string error;
        std::FILE* f = open_to_read(name, false, error);
        if (!f) {
            item = {name, "cannot read the list: " + error};
            return true;
        }
        m.start_list(f, true, name);
    }
    return m.next(item);
}

}  // namespace oxtarn::cli
