// The simultaneity file Simultaneity.ini: the factors k(N) of residential gas
// appliances by the number N of appliance sets they serve, and each set's
// default rated flow Qn per gas kind. UTF-8, INI-like, shipped beside the
// pipe file; an institute may replace it with its own figures.
//
//   [Simultaneity]   Title=, Source=, Note= (free texts the sheet quotes)
//                    Sets=name,name,...    (the appliance sets, in column order)
//   [RatedFlow]      <set>.<gas kind>=Qn   (m³/h at the standard state)
//   [Factors]        N=k1,k2,...           (one k per set, N rising)
//
// ';' starts a comment, also after a value in [RatedFlow] and [Factors].
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaspipe {

inline constexpr const char* kSimultaneityFileName = "Simultaneity.ini";

class SimultaneityTable {
  public:
    // More would be no table an institute keeps by hand: a limit that keeps
    // every lookup and every sum over the sets small.
    static constexpr std::size_t kMaxSets = 16;
    static constexpr std::size_t kMaxRows = 1000;

    SimultaneityTable() = default;

    // Never throws: a file that is missing or damaged gives a table that is
    // not readable(), with problem() naming the line.
    static SimultaneityTable Read(const std::string& path);
    static SimultaneityTable Parse(std::string_view text, std::string path = {});

    bool readable() const { return problem_.empty(); }
    // Why not: "no such file", "line 12: ..."; "" when readable.
    const std::string& problem() const { return problem_; }
    const std::string& path() const { return path_; }
    const std::string& title() const { return title_; }
    const std::string& source() const { return source_; }
    const std::string& note() const { return note_; }

    // The sets in the file's order.
    std::size_t SetCount() const { return sets_.size(); }
    const std::string& SetName(std::size_t set) const { return sets_[set].name; }
    std::optional<std::size_t> FindSet(std::string_view name) const;
    // The file's rated flow of a set for a gas kind, if it gives one.
    std::optional<double> RatedFlow(std::size_t set, std::string_view gasKind) const;
    // k(N), linear between the tabulated N; below the first N the first
    // factor, above the last N the last one.
    double Factor(std::size_t set, double n) const;

    // The rows, for tests and for showing the table.
    struct Row {
        double n = 0;
        std::vector<double> k;  // one per set
    };
    const std::vector<Row>& rows() const { return rows_; }

  private:
    struct Set {
        std::string name;
        std::vector<std::pair<std::string, double>> ratedFlow;  // gas kind -> Qn
    };

    std::string problem_ = "not read";
    std::string path_;
    std::string title_, source_, note_;
    std::vector<Set> sets_;
    std::vector<Row> rows_;
};

}  // namespace gaspipe
