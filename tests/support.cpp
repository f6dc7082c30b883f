#include "support.hpp"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <random>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "context.hpp"
#include "hex_image.hpp"
#include "rules.hpp"
#include "sjis.hpp"
#include "text.hpp"
#include "zarvo32.h"

namespace oxtarn::test {

std::string bytes(std::string_view hex) {
    std::string digits;
    for (char c : hex)
        if (c != ' ') digits += c;
    if (digits.size() % 2) throw std::invalid_argument("odd hex text");
    for (char& c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) throw std::invalid_argument("not a hex digit");
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return zarvo::text::from_hex(digits);
}

std::string sj(std::string_view utf8) { return zarvo::sjis::to_sjis(utf8); }

std::string file_with(std::size_t size, std::initializer_list<std::pair<std::size_t, std::string_view>> parts) {
    std::string out(size, '\0');
    for (const auto& [offset, hex] : parts) {
        std::string b = bytes(hex);
        if (out.size() < offset + b.size()) out.resize(offset + b.size(), '\0');
        out.replace(offset, b.size(), b);
    }
    return out;
}

#ifdef _WIN32
TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto p = std::filesystem::temp_directory_path() / ("oxtarn-test-" + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) {
            path_ = p.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

std::string TempDir::file(std::string_view name) const { return path_ + "\\" + std::string(name); }

std::string not_regular_file(const TempDir&) { return "NUL"; }
#else
TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "oxtarn-test-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

std::string TempDir::file(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string not_regular_file(const TempDir& dir) {
    std::string fifo = dir.file("pipe");
    if (::mkfifo(fifo.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    return fifo;
}
#endif

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(std::string_view name, std::string_view content) const {
    std::string p = file(name);
    std::ofstream(p, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    return p;
}

std::ostream& operator<<(std::ostream& os, const Record& r) {
    return os << "{ext=\"" << zarvo::sjis::to_utf8(r.extension) << "\", desc=\"" << zarvo::sjis::to_utf8(r.description)
              << "\", detail=\"" << zarvo::sjis::to_utf8(r.detail) << "\"}";
}

Record info(const std::string& path, std::int32_t sample_length, std::uint32_t options) {
    ZarvoRecord rec{};
    ZarvoGetInfo(path.c_str(), sample_length, &rec, options);
    return {rec.extension, rec.description, rec.detail};
}

std::string what(const std::string& ext, std::int32_t table) {
    char out[256] = {};
    gGetWhatEx(ext.c_str(), table, out);
    return out;
}

Record expected(std::string_view extension, int variant, std::string_view detail) {
    std::string first(extension.substr(0, extension.find(',')));
    return {std::string(extension), what(first, variant), std::string(detail)};
}

Record identify_bytes(std::string_view content, std::int32_t sample_length, std::uint32_t options,
                      std::string_view name) {
    TempDir dir;
    return info(dir.write(name, content), sample_length, options);
}

void check_rows(const std::vector<RowCase>& cases, const zarvo::rules::Table* family) {
    for (const RowCase& c : cases) {
        SCOPED_TRACE("row " + c.row);
        EXPECT_EQ(identify_bytes(c.content, c.sample, c.options, c.name), c.want);
        if (!family) continue;
        zarvo::Context ctx;
        ctx.options = c.options;
        std::string shorter = c.content.substr(0, c.content.size() - 1);
        EXPECT_NE(zarvo::rules::run(*family, zarvo::HexImage::of_bytes(shorter), ctx), c.want.extension);
    }
}

}  // namespace oxtarn::test
