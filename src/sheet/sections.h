// The parts the segment sheet and the table sheet share: numbering, the
// cover, the method's basis and formulas, one segment's inputs, working,
// results and checks. Internal to the sheet library.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document.h"
#include "hydraulics.h"
#include "pressure_display.h"
#include "segment_sheet.h"

namespace gaspipe::sheet::detail {

// Decimals per quantity: results as the window reports them (single
// segment) or as the calculation table shows them; the working carries more
// so that a reviewer can follow a pass.
struct Precision {
    int pressure, workingPressure, loss, workingLoss, velocity;
};
Precision SegmentPrecision(bool low);
Precision TablePrecision(bool low);

// Chapters 一、二、…, tables "表 n-m" and formulas "(n-m)" numbered as a
// design institute's sheet numbers them.
class Writer {
  public:
    explicit Writer(Document& doc) : doc_(doc) {}

    void Chapter(const std::string& text);
    void Section(const std::string& text);
    void Para(const std::string& markup);
    void Note(const std::string& markup);
    // The table's caption gets the next number, which NextTable names ahead.
    void Add(Table table, const std::string& caption);
    std::string NextTable() const;
    // Built in place: GCC 12 warns falsely about moving a whole variant.
    template <class T>
    void Add(T&& element) {
        doc_.elements.emplace_back(std::forward<T>(element));
    }
    // A numbered formula, remembered under key so the working can cite it.
    void Formula(const std::string& key, const std::string& markup,
                 const std::string& condition = {});
    // "式 (3-2)" for a formula added before.
    std::string Ref(const std::string& key) const;
    int chapter() const { return chapter_; }

  private:
    Document& doc_;
    int chapter_ = 0, section_ = 0, table_ = 0, formula_ = 0;
    std::map<std::string, std::string> refs_;
};

std::string ChineseNumber(int n);

// Units in rich markup for the class: "10^{5} Pa" or "Pa", and the loss's.
std::string PressureUnit(bool low);
std::string LossUnit(bool low);
// "4.928×10^{5} Pa", "2393.37 Pa", "0.719×10^{10} Pa^{2}".
std::string PressureValue(const std::string& number, bool low);
std::string LossValue(const std::string& number, bool low);

Cell Text(const std::string& markup, bool emphasis = false);
Cell CheckCell(bool holds);
Column Col(const std::string& title, Align align = Align::Left, int width = 1);

// The cover: title, subtitle, project fields, sign-off; then a page break.
void AddCover(Document& doc, const Project& project, const std::string& subtitle,
              const std::string& content, const std::string& method, const Produced& produced);

// Running header and footer texts.
void SetRunningTexts(Document& doc, const Project& project, hydraulics::Method method,
                     const Produced& produced);

// What the formulas chapter must cover.
struct FormulaScope {
    hydraulics::Method method = hydraulics::Method::Appendix;
    bool low = false;
    std::set<hydraulics::Material> materials;
    bool zeta = false;      // Σζ as an equivalent length occurs
    bool fraction = false;  // local losses as a fraction of friction occur
    bool additionalHead = false;
    bool zGiven = false;  // Z was given instead of the empirical formula
};

void AddBasis(Writer& w, const FormulaScope& scope);
void AddFormulas(Writer& w, const FormulaScope& scope);

// One segment's chapters; the trace's outcome is Ok.
void AddSegmentInputs(Writer& w, const hydraulics::SegmentTrace& t, const PipeEntry& pipe,
                      std::optional<double> zeta);
void AddWorking(Writer& w, const hydraulics::SegmentTrace& t, const Precision& p,
                std::optional<double> zeta);
// Drops and the outlet also as the scale shows them (MPa gauge and kPa at
// high/medium pressure).
void AddResults(Writer& w, const hydraulics::SegmentTrace& t, const Precision& p,
                const network::PressureScale& scale);

// The current code's method for the appendix routine's inputs (local
// losses 10 % as the routine's constants hold, the same rise).
hydraulics::SegmentTrace CurrentCodeCheck(const hydraulics::SegmentTrace& t);
// Its Re, λ, drop and outlet beside the routine's, with the difference in %.
void AddCurrentCodeCheck(Writer& w, const hydraulics::SegmentTrace& t,
                         const network::PressureScale& scale);

// A check row: item, calculated value, allowed value, 满足 / 不满足.
struct CheckRow {
    std::string item, value, allowed;
    bool holds;
};
void AddChecks(Writer& w, const std::vector<CheckRow>& rows, const std::string& conclusion);

}  // namespace gaspipe::sheet::detail
