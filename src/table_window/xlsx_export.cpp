#include "xlsx_export.h"

#include <QBrush>
#include <QFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <map>
#include <tuple>

#include "atomic_file.h"
#include "case_document.h"
#include "messages.h"
#include "number_text.h"
#include "segment_columns.h"
#include "segment_model.h"

namespace gaspipe::table {

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

// Excel's number format for a column: the places the window shows.
std::string NumberFormat(int column, const network::PressureScale& scale) {
    const auto catalog = CatalogColumn(column);
    if (!catalog || !IsNumberColumn(column)) return "General";
    const int decimals = network::ColumnDecimals(*catalog, scale);
    return decimals == 0 ? "0" : "0." + std::string(std::size_t(decimals), '0');
}

class Formats {
  public:
    explicit Formats(lxw_workbook* book) : book_(book) {}

    lxw_format* Cell(const std::string& number, std::uint32_t background, bool italic, bool text) {
        auto& slot = cells_[{number, background, italic, text}];
        if (!slot) {
            slot = workbook_add_format(book_);
            format_set_border(slot, LXW_BORDER_THIN);
            format_set_num_format(slot, number.c_str());
            format_set_align(slot, LXW_ALIGN_VERTICAL_CENTER);
            if (text) format_set_align(slot, LXW_ALIGN_LEFT);
            if (background) format_set_bg_color(slot, background);
            if (italic) {
                format_set_italic(slot);
                format_set_font_color(slot, 0x5A6E8C);
            }
        }
        return slot;
    }

    lxw_format* Heading() {
        if (!heading_) {
            heading_ = workbook_add_format(book_);
            format_set_bold(heading_);
            format_set_text_wrap(heading_);
            format_set_border(heading_, LXW_BORDER_THIN);
            format_set_align(heading_, LXW_ALIGN_CENTER);
            format_set_align(heading_, LXW_ALIGN_VERTICAL_CENTER);
            format_set_bg_color(heading_, 0xDDE5F0);
        }
        return heading_;
    }

    lxw_format* Title() {
        if (!title_) {
            title_ = workbook_add_format(book_);
            format_set_bold(title_);
            format_set_font_size(title_, 16);
            format_set_align(title_, LXW_ALIGN_CENTER);
        }
        return title_;
    }

    lxw_format* Label() {
        if (!label_) {
            label_ = workbook_add_format(book_);
            format_set_bold(label_);
        }
        return label_;
    }

  private:
    lxw_workbook* book_;
    std::map<std::tuple<std::string, std::uint32_t, bool, bool>, lxw_format*> cells_;
    lxw_format* heading_ = nullptr;
    lxw_format* title_ = nullptr;
    lxw_format* label_ = nullptr;
};

std::uint32_t Rgb(const QVariant& brush) {
    if (!brush.canConvert<QBrush>()) return 0;
    const QColor color = brush.value<QBrush>().color();
    return color.isValid() ? (std::uint32_t(color.red()) << 16 | std::uint32_t(color.green()) << 8 |
                              std::uint32_t(color.blue()))
                           : 0;
}

void WriteSheet(lxw_workbook* book, const SegmentModel& model) {
    const CaseDocument& doc = *model.document();
    const network::Case& c = doc.data();
    const bool low = network::IsLowPressure(c);
    const network::PressureScale scale = network::CaseScale(c);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "水力计算表");
    Formats formats(book);

    std::vector<int> columns;
    for (int column = 0; column < kColumnCount; ++column)
        if (ColumnShown(c, column)) columns.push_back(column);
    const auto notes = lxw_col_t(columns.size());  // the reasons, after the last column

    worksheet_merge_range(sheet, 0, 0, 0, notes, "燃气管道水力计算表", formats.Title());
    const std::pair<const char*, std::string> project[] = {
        {"工程名称", c.project.name},  {"工程编号", c.project.number},
        {"设计阶段", c.project.stage}, {"设计人", c.project.designer},
        {"日期", c.project.date},
    };
    lxw_col_t col = 0;
    for (const auto& [label, value] : project) {
        worksheet_write_string(sheet, 1, col, label, formats.Label());
        worksheet_write_string(sheet, 1, col + 1, value.c_str(), nullptr);
        col += label == std::string("工程名称") ? 5 : 3;
    }
    const QString unit = PressureUnit(low);
    const auto maxDrop = network::EffectiveMaxDrop(c);
    const QString caseLine =
        QStringLiteral(
            "燃气：%1，密度 %2 kg/m³，运动粘度 %3×10⁻⁶ m²/s，温度 %4 K；%5；%6；"
            "气源 %7，压力 %8 %9；最大流速 %10；允许压降 %11")
            .arg(QString::fromStdString(c.gas.kind), ShortestText(c.gas.density),
                 ShortestText(c.gas.viscosity), ShortestText(c.gas.temperature),
                 QString::fromStdString(c.pressureClass),
                 c.method.method == network::Method::Appendix
                     ? QStringLiteral("附录公式")
                     : QStringLiteral("GB 50028-2006 公式，局部阻力按沿程的 %1%")
                           .arg(RoundedText(c.method.localLoss * 100, 6)),
                 QString::fromStdString(c.source.node), ShortestText(c.source.pressure), unit)
            .arg(c.limits.maxVelocity ? ShortestText(*c.limits.maxVelocity) + QStringLiteral(" m/s")
                                      : QStringLiteral("不校核"),
                 maxDrop ? ShortestText(*maxDrop) + QLatin1Char(' ') + unit
                         : QStringLiteral("不校核"));
    worksheet_write_string(sheet, 2, 0, Utf8(caseLine).c_str(), nullptr);

    constexpr lxw_row_t kHeading = 4;
    worksheet_set_row(sheet, kHeading, 36, nullptr);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const auto at = lxw_col_t(k);
        worksheet_write_string(sheet, kHeading, at, Utf8(ColumnTitle(columns[k], scale)).c_str(),
                               formats.Heading());
        worksheet_set_column(sheet, at, at, IsResultColumn(columns[k]) ? 11 : 9, nullptr);
    }
    worksheet_write_string(sheet, kHeading, notes, "备注", formats.Heading());
    worksheet_set_column(sheet, notes, notes, 48, nullptr);

    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r) {
        const auto row = lxw_row_t(kHeading + 1 + r);
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const int column = columns[k];
            const QModelIndex index = model.index(r, column);
            const std::uint32_t background = Rgb(index.data(Qt::BackgroundRole));
            const bool derived = index.data(SegmentModel::DerivedRole).toBool();
            const QVariant value = index.data(SegmentModel::SortRole);
            const bool number = value.userType() == QMetaType::Double;
            lxw_format* format =
                formats.Cell(NumberFormat(column, scale), background, derived, !number);
            if (number)
                worksheet_write_number(sheet, row, lxw_col_t(k), value.toDouble(), format);
            else
                worksheet_write_string(sheet, row, lxw_col_t(k),
                                       Utf8(index.data(Qt::DisplayRole).toString()).c_str(),
                                       format);
        }
        worksheet_write_string(sheet, row, notes, Utf8(RowMessage(doc, std::size_t(r))).c_str(),
                               formats.Cell("General", 0, false, true));
    }
    lxw_row_t below = kHeading + 1 + lxw_row_t(rows) + 1;
    for (const QString& problem : doc.Problems())
        worksheet_write_string(sheet, below++, 0,
                               Utf8(QStringLiteral("无法计算：") + problem).c_str(), nullptr);

    worksheet_freeze_panes(sheet, kHeading + 1, 1);
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, 9);  // A4
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, kHeading, kHeading);
    worksheet_set_footer(sheet, "&C第 &P 页，共 &N 页");
}

}  // namespace

bool ExportXlsx(const SegmentModel& model, const std::string& path, std::string& error) {
    // The library writes to a name of its own; the finished workbook is then
    // put in place by the one atomic writer.
    QTemporaryFile scratch;
    if (!scratch.open()) {
        error = scratch.errorString().toStdString();
        return false;
    }
    scratch.close();
    const QByteArray scratchName = QFile::encodeName(scratch.fileName());
    lxw_workbook* book = workbook_new(scratchName.constData());
    if (!book) {
        error = "the workbook could not be started";
        return false;
    }
    WriteSheet(book, model);
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        error = lxw_strerror(closed);
        return false;
    }
    QFile written(scratch.fileName());
    if (!written.open(QIODevice::ReadOnly)) {
        error = written.errorString().toStdString();
        return false;
    }
    const QByteArray bytes = written.readAll();
    return fileio::WriteWholeFile(
        path, std::string_view(bytes.constData(), std::size_t(bytes.size())), error);
}

}  // namespace gaspipe::table
