#include "simultaneity_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ini_lines.h"
#include "ini_storage.h"

namespace gaspipe {

namespace {

// A table is a few kilobytes; a larger file is not one.
constexpr std::size_t kMaxFileBytes = 1u << 20;

std::string_view WithoutComment(std::string_view value) {
    return ini::Trim(value.substr(0, value.find(';')));
}

std::optional<double> Number(std::string_view text) {
    text = ini::Trim(text);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::vector<std::string_view> Split(std::string_view list) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t comma = list.find(',', at);
        parts.push_back(ini::Trim(list.substr(at, comma - at)));
        if (comma == std::string_view::npos) return parts;
        at = comma + 1;
    }
}

struct Damaged {
    std::size_t line;
    std::string what;
};

}  // namespace

SimultaneityTable SimultaneityTable::Read(const std::string& path) {
    const auto file = ini_storage::ReadWholeFile(path, kMaxFileBytes);
    if (file.status == ini_storage::ReadStatus::Ok) return Parse(file.bytes, path);
    SimultaneityTable table;
    table.path_ = path;
    if (file.status == ini_storage::ReadStatus::Missing)
        table.problem_ = "no such file";
    else if (file.why == ini_storage::UnusableWhy::TooLarge)
        table.problem_ = "larger than 1 MiB, more than any table holds";
    else if (file.why == ini_storage::UnusableWhy::NotRegular)
        table.problem_ = "not a regular file";
    else
        table.problem_ = file.problem;
    return table;
}

SimultaneityTable SimultaneityTable::Parse(std::string_view text, std::string path) {
    SimultaneityTable t;
    t.path_ = std::move(path);
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    // Rated flows may come before the list of sets; they are matched at the end.
    struct Pending {
        std::size_t line;
        std::string set, gas;
        double flow;
    };
    std::vector<Pending> flows;
    std::vector<std::pair<std::size_t, std::string_view>> factorLines;
    std::size_t setsLine = 0;
    try {
        std::string_view section;
        std::size_t number = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const ini::Line line = ini::LineAt(text, pos);
            pos = line.next;
            ++number;
            if (line.kind == ini::Kind::Section) section = line.name;
            if (line.kind != ini::Kind::Key) continue;
            if (!line.value) throw Damaged{number, "a line with neither a section nor '='"};
            const std::string_view value = *line.value;
            if (section == "Simultaneity") {
                if (line.name == "Title") t.title_ = value;
                if (line.name == "Source") t.source_ = value;
                if (line.name == "Note") t.note_ = value;
                if (line.name == "Sets") {
                    setsLine = number;
                    for (std::string_view name : Split(value)) {
                        if (name.empty()) throw Damaged{number, "an empty set name in Sets"};
                        const bool twice =
                            std::any_of(t.sets_.begin(), t.sets_.end(),
                                        [&](const Set& s) { return s.name == name; });
                        if (twice)
                            throw Damaged{number, "the set '" + std::string(name) +
                                                      "' is named twice in Sets"};
                        t.sets_.push_back({std::string(name), {}});
                    }
                    if (t.sets_.size() > kMaxSets)
                        throw Damaged{number, "more than " + std::to_string(kMaxSets) + " sets"};
                }
            } else if (section == "RatedFlow") {
                const std::size_t dot = line.name.rfind('.');
                const auto flow = Number(WithoutComment(value));
                if (dot == std::string_view::npos)
                    throw Damaged{number, "a rated flow is named <set>.<gas kind>"};
                if (!flow || *flow <= 0)
                    throw Damaged{number, "a rated flow must be a number above 0"};
                flows.push_back({number, std::string(line.name.substr(0, dot)),
                                 std::string(line.name.substr(dot + 1)), *flow});
            } else if (section == "Factors") {
                if (factorLines.size() == kMaxRows)
                    throw Damaged{number, "more than " + std::to_string(kMaxRows) + " rows"};
                // The factors are read once the sets are known.
                factorLines.emplace_back(number, WithoutComment(value));
                const auto n = Number(line.name);
                if (!n || *n < 1 || *n != std::floor(*n))
                    throw Damaged{number, "N must be a whole number from 1 up"};
                Row row;
                row.n = *n;
                t.rows_.push_back(std::move(row));
            }
        }
        if (t.sets_.empty()) throw Damaged{setsLine, "no appliance sets ([Simultaneity] Sets=)"};
        if (t.rows_.empty()) throw Damaged{0, "no factors ([Factors])"};
        for (std::size_t i = 0; i < t.rows_.size(); ++i) {
            const auto [line, values] = factorLines[i];
            if (i > 0 && !(t.rows_[i].n > t.rows_[i - 1].n))
                throw Damaged{line, "N must rise from row to row"};
            for (std::string_view part : Split(values)) {
                const auto k = Number(part);
                if (!k || *k <= 0 || *k > 1)
                    throw Damaged{line, "a factor must be a number above 0 and at most 1"};
                t.rows_[i].k.push_back(*k);
            }
            if (t.rows_[i].k.size() != t.sets_.size())
                throw Damaged{line, "the row gives " + std::to_string(t.rows_[i].k.size()) +
                                        " factors for " + std::to_string(t.sets_.size()) + " sets"};
        }
        for (const Pending& p : flows) {
            const auto set = t.FindSet(p.set);
            if (!set) throw Damaged{p.line, "'" + p.set + "' is not one of the sets"};
            t.sets_[*set].ratedFlow.emplace_back(p.gas, p.flow);
        }
    } catch (const Damaged& d) {
        SimultaneityTable damaged;
        damaged.path_ = t.path_;
        damaged.problem_ =
            (d.line ? "line " + std::to_string(d.line) + ": " : std::string()) + d.what;
        return damaged;
    }
    t.problem_.clear();
    return t;
}

std::optional<std::size_t> SimultaneityTable::FindSet(std::string_view name) const {
    for (std::size_t i = 0; i < sets_.size(); ++i)
        if (sets_[i].name == name) return i;
    return std::nullopt;
}

std::optional<double> SimultaneityTable::RatedFlow(std::size_t set,
                                                   std::string_view gasKind) const {
    if (set >= sets_.size()) return std::nullopt;
    for (const auto& [gas, flow] : sets_[set].ratedFlow)
        if (gas == gasKind) return flow;
    return std::nullopt;
}

double SimultaneityTable::Factor(std::size_t set, double n) const {
    if (rows_.empty() || set >= sets_.size()) return 1;
    if (!(n > rows_.front().n)) return rows_.front().k[set];
    if (n >= rows_.back().n) return rows_.back().k[set];
    const auto above = std::upper_bound(rows_.begin(), rows_.end(), n,
                                        [](double v, const Row& r) { return v < r.n; });
    const Row& hi = *above;
    const Row& lo = *(above - 1);
    return lo.k[set] + (hi.k[set] - lo.k[set]) * (n - lo.n) / (hi.n - lo.n);
}

}  // namespace gaspipe
