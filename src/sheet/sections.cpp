#include "sections.h"

namespace gaspipe::sheet::detail {

Precision SegmentPrecision(bool low) {
    return low ? Precision{2, 2, 2, 2, 3} : Precision{3, 5, 3, 5, 3};
}

Precision TablePrecision(bool low) {
    return low ? Precision{1, 2, 1, 2, 2} : Precision{4, 5, 5, 5, 2};
}

std::string ChineseNumber(int n) {
    static const char* const digits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (n <= 0 || n >= 100) return std::to_string(n);
    if (n < 10) return digits[n];
    return std::string(n >= 20 ? digits[n / 10] : "") + "十" + digits[n % 10];
}

void Writer::Chapter(const std::string& text) {
    ++chapter_;
    section_ = table_ = formula_ = 0;
    doc_.elements.emplace_back(Heading{1, ChineseNumber(chapter_) + "、" + text});
}

void Writer::Section(const std::string& text) {
    doc_.elements.emplace_back(Heading{2, "（" + ChineseNumber(++section_) + "）" + text});
}

void Writer::Para(const std::string& markup) {
    doc_.elements.emplace_back(Paragraph{ParseRich(markup), Paragraph::Style::Body});
}

void Writer::Note(const std::string& markup) {
    doc_.elements.emplace_back(Paragraph{ParseRich(markup), Paragraph::Style::Note});
}

void Writer::Add(Table table, const std::string& caption) {
    table.caption = NextTable() + "　" + caption;
    ++table_;
    doc_.elements.emplace_back(std::move(table));
}

void Writer::Formula(const std::string& key, const std::string& markup,
                     const std::string& condition) {
    // Appended piece by piece: GCC 12 warns falsely about "(" + std::string.
    std::string number = "(";
    number += std::to_string(chapter_) + "-" + std::to_string(++formula_) + ")";
    refs_[key] = number;
    doc_.elements.emplace_back(sheet::Formula{number, ParseRich(markup), ParseRich(condition)});
}

std::string Writer::NextTable() const {
    return "表 " + std::to_string(chapter_) + "-" + std::to_string(table_ + 1);
}

std::string Writer::Ref(const std::string& key) const {
    const auto it = refs_.find(key);
    return it == refs_.end() ? std::string() : "式 " + it->second;
}

std::string PressureUnit(bool low) { return low ? "Pa" : "10^{5} Pa"; }
std::string LossUnit(bool low) { return low ? "Pa" : "(10^{5} Pa)^{2}"; }

std::string PressureValue(const std::string& number, bool low) {
    return number + (low ? " Pa" : "×10^{5} Pa");
}

std::string LossValue(const std::string& number, bool low) {
    return number + (low ? " Pa" : "×10^{10} Pa^{2}");
}

Cell Text(const std::string& markup, bool emphasis) {
    return Cell{ParseRich(markup), Check::None, emphasis};
}

Cell CheckCell(bool holds) {
    return Cell{ParseRich(holds ? "满足" : "不满足"), holds ? Check::Pass : Check::Fail, false};
}

Column Col(const std::string& title, Align align, int width) {
    return Column{ParseRich(title), align, width};
}

void AddCover(Document& doc, const Project& project, const std::string& subtitle,
              const std::string& content, const std::string& method, const Produced& produced) {
    doc.elements.emplace_back(Heading{0, doc.title});
    doc.elements.emplace_back(Paragraph{ParseRich(subtitle), Paragraph::Style::Subtitle});
    Table fields;
    fields.widthPercent = 86;
    fields.density = Table::Density::Roomy;
    fields.columns = {Col("", Align::Center, 2), Col("", Align::Left, 7)};
    const std::pair<const char*, std::string> rows[] = {
        {"工程名称", project.name},
        {"工程编号", project.number},
        {"设计阶段", project.stage},
        {"设计单位", project.organization},
        {"计算书编号", project.sheetNumber},
        {"版　　次", project.revision},
        {"设 计 人", project.designer},
        {"计算内容", content},
        {"计算方法", method},
        {"计算软件", produced.program + " " + produced.version},
        {"日　　期", project.date},
    };
    for (const auto& [key, value] : rows) fields.rows.push_back({Text(key, true), Text(value)});
    doc.elements.emplace_back(std::move(fields));
    doc.elements.emplace_back(SignOff{{"设　计", "校　对", "审　核", "审　定"}});
    doc.elements.emplace_back(PageBreak{Orientation::Portrait});
}

void SetRunningTexts(Document& doc, const Project& project, hydraulics::Method method,
                     const Produced& produced) {
    doc.headerLeft = project.name.empty() ? doc.title : project.name;
    doc.headerRight = project.number.empty() ? doc.title : "工程编号：" + project.number;
    const char* basis = method == hydraulics::Method::Appendix
                            ? "单管段计算程序（附录 C 摩擦阻力公式）"
                            : "GB 50028-2006 第 6.2.5～6.2.8 条";
    doc.footer =
        produced.program + " " + produced.version + "　" + basis + "　" + produced.time + " 生成";
}

}  // namespace gaspipe::sheet::detail
