#include "rename.hpp"

#include <fstream>
#include <optional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "path_parts.hpp"
#include "system.hpp"
#include "text.hpp"

namespace oxtarn::cli {

std::optional<std::string> fixed_path(const std::string& path, std::string_view candidates) {
    if (candidates.empty() || candidates == "?") return std::nullopt;
    std::string present = zarvo::text::ascii_lower(zarvo::path_part(path, zarvo::kExtension));
    long entries = zarvo::text::count(candidates, ',') + 1;
    for (long n = 1; n <= entries; ++n)
        if (zarvo::text::ascii_lower(zarvo::text::field(candidates, n)) == present) return std::nullopt;

    std::string first(zarvo::text::field(candidates, 1));
    bool usable = !first.empty() && first.find('/') == std::string::npos &&
                  first.find_first_not_of("-.") != std::string::npos;
    if (!usable) return std::nullopt;

    std::string name = zarvo::path_part(path, zarvo::kName);
    if (name.empty()) return std::nullopt;
    std::string title = zarvo::path_part(path, zarvo::kTitle);
    if (title.empty()) title = name;  // ".profile" becomes ".profile.zip", not ".zip"
    return zarvo::path_part(path, zarvo::kFolder) + title + "." + first;
}

Journal::Journal(const std::string& path) : path_(path) {
    std::ofstream probe(path_, std::ios::app);
    ok_ = static_cast<bool>(probe);
}

void Journal::record(const std::string& from, const std::string& to) {
    std::ofstream out(path_, std::ios::app);
    // The names as text for people, and byte for byte for --undo: a name
    // that is not valid text must come back exactly, never as a look-alike.
    nlohmann::json entry{{"from", system_to_utf8(from)},
                         {"to", system_to_utf8(to)},
                         {"from_hex", zarvo::text::to_hex(from)},
                         {"to_hex", zarvo::text::to_hex(to)}};
    out << entry.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    out.flush();
}

namespace {
// The name a journal entry holds byte for byte, if the entry is well formed.
std::optional<std::string> exact_name(const nlohmann::json& entry, const char* key) {
    if (!entry.is_object() || !entry.contains(key) || !entry[key].is_string()) return std::nullopt;
    const std::string& hex = entry[key].get_ref<const std::string&>();
    if (hex.empty() || hex.size() % 2 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return std::nullopt;
    std::string name;
    for (std::size_t i = 0; i < hex.size(); i += 2) name += static_cast<char>(zarvo::text::hex_pair(hex[i], hex[i + 1]));
    if (name.find('\0') != std::string::npos) return std::nullopt;  // no path holds a zero byte
    return name;
}
}  // namespace

UndoOutcome undo(const std::string& journal_path, bool dry_run) {
    UndoOutcome outcome;
    std::ifstream in(journal_path);
    if (!in) {
        std::cerr << "oxtarn-cli: " << journal_path << ": cannot read the journal\n";
        ++outcome.failed;
        return outcome;
    }
    std::vector<std::pair<std::string, std::string>> moves;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        auto j = nlohmann::json::parse(line, nullptr, false);
        std::optional<std::string> from, to;
        if (!j.is_discarded()) {
            from = exact_name(j, "from_hex");
            to = exact_name(j, "to_hex");
        }
        if (!from || !to) {
            std::cerr << "oxtarn-cli: " << journal_path << ": skipping a line that is not a journal entry\n";
            ++outcome.failed;
            continue;
        }
        moves.emplace_back(*from, *to);
    }
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        const auto& [from, to] = *it;
        if (dry_run) {
            std::cout << to << " -> " << from << " (dry run)\n";
            ++outcome.restored;
            continue;
        }
        std::string reason = rename_no_replace(to, from);
        if (reason.empty()) {
            std::cout << to << " -> " << from << "\n";
            ++outcome.restored;
        } else {
            std::cerr << "oxtarn-cli: cannot put back " << from << ": " << reason << "\n";
            ++outcome.failed;
        }
    }
    return outcome;
}

}  // namespace oxtarn::cli
