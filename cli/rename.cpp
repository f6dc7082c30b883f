#include "rename.hpp"

#include <fstream>
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
    nlohmann::json entry{{"from", system_to_utf8(from)}, {"to", system_to_utf8(to)}};
    out << entry.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    out.flush();
}

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
        if (j.is_discarded() || !j.contains("from") || !j.contains("to")) {
            std::cerr << "oxtarn-cli: " << journal_path << ": skipping a line that is not a journal entry\n";
            ++outcome.failed;
            continue;
        }
        moves.emplace_back(utf8_to_system(j["from"].get<std::string>()), utf8_to_system(j["to"].get<std::string>()));
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
