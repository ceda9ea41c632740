// The pages of a laid-out sheet document, drawn from Qt's layout line by
// line. Qt's own drawing of a table with collapsed borders looks up each
// cell's neighbours hundreds of times, each look-up a search through the
// whole table, and visits the repeated headers of every page of a table on
// each page it draws: the sheet of a 2 000-segment line took half a minute.
// The layout stays Qt's; the text is drawn from each paragraph's own layout,
// and the ruled tables' shading and rules from where the layout put their
// cells, as Qt draws them (including an open foot where a table goes on on
// the next page).
#pragma once

#include <QBrush>
#include <QPainter>
#include <QPointF>
#include <QTextDocument>
#include <QTextLayout>

#include <set>
#include <vector>

namespace gaspipe::sheet::detail {

class PagePainter {
  public:
    // The document is laid out on pages of pageHeight (the layout's units)
    // and outlives this.
    PagePainter(const QTextDocument& doc, double pageHeight);

    // Page `page`, counted from 0, in document coordinates: the painter is
    // translated so that the page's top is at pageHeight * page. False, and
    // nothing drawn, for a page on which a table row is cut by the page
    // break: Qt's own drawing of the document does that one.
    bool Draw(QPainter& painter, int page) const;

  private:
    struct Text {
        const QTextLayout* layout;
        QPointF offset;
        int page;
    };
    struct Fill {
        QRectF rect;
        QBrush brush;
        int page;
    };
    struct Rule {
        QRectF rect;
        int page;
    };
    void AddTable(const QTextDocument& doc, class QTextTable& table);

    double pageHeight_;
    std::vector<Text> texts_;
    std::vector<Fill> fills_;
    std::vector<Rule> rules_;
    std::set<int> byQt_;
};

}  // namespace gaspipe::sheet::detail
