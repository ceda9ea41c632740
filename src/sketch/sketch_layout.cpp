#include "sketch_layout.h"

#include <algorithm>
#include <cmath>

namespace gaspipe::sketch {

namespace {

double GuessWidth(std::string_view text, double height) {
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;
        // Three- and four-byte characters are the full-width ones here.
        width += byte >= 0xE0 ? 0.8 * height : 0.5 * height;
    }
    return width;
}

std::string SourceText(const std::string& name) {
    return name.find("气源") == std::string::npos ? name + "（气源）" : name;
}

// Where a label sits in its row: over the line, under it, or beside a mark.
enum class Place { Above, Below, Beside };

// A band before it is cut into pages: positions across, rows down.
struct Band {
    std::size_t rows = 0;
    double width = 0;
    struct Run {
        double x0, x1;
        std::size_t row;
        Line::Kind kind;
        std::size_t node;
    };
    struct Bus {
        double x;
        std::size_t row0, row1;
    };
    struct MarkAt {
        double x;
        std::size_t row;
        Mark::Kind kind;
        std::size_t node;
    };
    struct Text {
        std::string text;
        double left, width;
        std::size_t row;
        Place place;
        Label::Kind kind;
        std::size_t node;
    };
    std::vector<Run> runs;
    std::vector<Bus> buses;
    std::vector<MarkAt> marks;
    std::vector<Text> texts;
};

class Layouter {
  public:
    Layouter(const Tree& tree, const Metrics& m) : tree_(tree), m_(m), h_(m.textHeight) {
        pad_ = 0.3 * h_;
        busOffset_ = 0.6 * h_;
        stub_ = 1.6 * h_;
        // A label over the line, clear of the marks, and one under it (or
        // half an end node's text), and half a line between rows.
        const double beside = h_ + markR_ + 1;
        pitch_ = m.pipes ? 2 * beside + 0.5 * h_ : beside + h_ + 2;
        top_ = beside + pad_;
        bottom_ = m.pipes ? beside + pad_ : h_ / 2 + pad_;
    }

    Layout Run() {
        Layout layout;
        layout.markRadius = markR_;
        n_ = tree_.nodes.size();
        if (n_ < 2) return layout;
        Measure();
        Columns();
        std::size_t d0 = 0;
        while (d0 <= maxDepth_) {
            const std::size_t d1 = BandEnd(d0);
            Paginate(MakeBand(d0, d1), layout);
            ++layout.bands;
            d0 = d1;
        }
        return layout;
    }

  private:
    double Width(std::string_view text) const {
        if (text.empty()) return 0;
        return m_.textWidth ? m_.textWidth(text) : GuessWidth(text, h_);
    }
    bool Leaf(std::size_t i) const { return lastChild_[i] == kNone; }
    // Half the width of what is drawn over a node with children.
    double Lead(std::size_t i) const { return std::max(busOffset_, name_[i] / 2); }
    double Tail(std::size_t i) const { return Leaf(i) ? markR_ : std::max(markR_, name_[i] / 2); }

    void Measure() {
        depth_.assign(n_, 0);
        row_.assign(n_, 0);
        lastChild_.assign(n_, kNone);
        name_.resize(n_);
        std::size_t rows = 0;
        for (std::size_t i = 1; i < n_; ++i) {
            const std::size_t p = tree_.nodes[i].parent;
            depth_[i] = depth_[p] + 1;
            // The first child goes straight on in its parent's row; every
            // other starts a row below all that came before it.
            row_[i] = p + 1 == i ? row_[p] : ++rows;
            lastChild_[p] = i;
            maxDepth_ = std::max(maxDepth_, depth_[i]);
        }
        // Each label measured once.
        segment_.resize(n_);
        pipe_.resize(n_);
        end_.resize(n_);
        for (std::size_t i = 0; i < n_; ++i) {
            const Node& node = tree_.nodes[i];
            name_[i] = Width(i == 0 ? SourceText(node.name) : node.name);
            segment_[i] = Width(node.segmentId);
            pipe_[i] = m_.pipes ? Width(node.pipe) : 0;
            end_[i] = Leaf(i) ? Width(node.endLabel) : 0;
        }
        // Nodes by depth, in drawing order.
        byDepth_.assign(maxDepth_ + 2, 0);
        for (std::size_t i = 0; i < n_; ++i) ++byDepth_[depth_[i] + 1];
        for (std::size_t d = 1; d < byDepth_.size(); ++d) byDepth_[d] += byDepth_[d - 1];
        order_.resize(n_);
        std::vector<std::size_t> next(byDepth_.begin(), byDepth_.end() - 1);
        for (std::size_t i = 0; i < n_; ++i) order_[next[depth_[i]]++] = i;
    }

    void Columns() {
        const double minGap = 3 * h_;
        x_.assign(maxDepth_ + 1, 0);
        extent_.assign(maxDepth_ + 1, markR_);
        lead_.assign(maxDepth_ + 1, markR_);
        parents_.assign(maxDepth_ + 1, false);
        std::vector<double> gap(maxDepth_ + 1, minGap);
        for (std::size_t i = 0; i < n_; ++i) {
            const Node& node = tree_.nodes[i];
            const std::size_t d = depth_[i];
            if (Leaf(i)) {
                double e = markR_ + pad_ + name_[i];
                if (!node.endLabel.empty()) e += 0.5 * h_ + end_[i];
                extent_[d] = std::max(extent_[d], e);
            } else {
                extent_[d] = std::max(extent_[d], Tail(i));
                lead_[d] = std::max(lead_[d], Lead(i));
                parents_[d] = true;
            }
            if (i == 0) continue;
            const std::size_t p = node.parent;
            const double above = Lead(p) + 2 * pad_ + segment_[i] + Tail(i);
            const double below = m_.pipes ? busOffset_ + 2 * pad_ + pipe_[i] + markR_ : 0;
            gap[d - 1] = std::max({gap[d - 1], above, below});
        }
        for (std::size_t d = 1; d <= maxDepth_; ++d) x_[d] = x_[d - 1] + gap[d - 1];
        gap_ = std::move(gap);
    }

    // Where column d0 sits in its band: after the hollow copy of the parents
    // when the band goes on from the one above.
    double Base(std::size_t d0) const {
        return d0 == 0 ? pad_ + std::max(markR_, name_[0] / 2)
                       : pad_ + lead_[d0 - 1] + gap_[d0 - 1];
    }

    double StubExtent(std::size_t d) const {
        return d < maxDepth_ && parents_[d] ? markR_ + stub_ : 0;
    }

    // The band from column d0 takes columns while they fit the width; one
    // at least.
    std::size_t BandEnd(std::size_t d0) const {
        const double base = Base(d0);
        double reach = extent_[d0];
        std::size_t d1 = d0 + 1;
        while (d1 <= maxDepth_) {
            const double more = std::max(reach, x_[d1] - x_[d0] + extent_[d1]);
            const double stub = x_[d1] - x_[d0] + StubExtent(d1);
            if (base + std::max(more, stub) + pad_ > m_.maxWidth) break;
            reach = more;
            ++d1;
        }
        return d1;
    }

    Band MakeBand(std::size_t d0, std::size_t d1) const {
        Band band;
        const double base = Base(d0);
        auto xOf = [&](std::size_t d) { return base + x_[d] - x_[d0]; };
        const double ghostX = d0 == 0 ? 0 : base - gap_[d0 - 1];

        // The rows this band uses, closed up.
        std::vector<std::size_t> rows;
        std::vector<std::size_t> ghosts;
        for (std::size_t k = byDepth_[d0]; k < byDepth_[d1]; ++k) rows.push_back(row_[order_[k]]);
        if (d0 > 0)
            for (std::size_t k = byDepth_[d0]; k < byDepth_[d0 + 1]; ++k) {
                const std::size_t p = tree_.nodes[order_[k]].parent;
                if (ghosts.empty() || ghosts.back() != p) ghosts.push_back(p);
            }
        for (std::size_t p : ghosts) rows.push_back(row_[p]);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        band.rows = rows.size();
        auto rowOf = [&](std::size_t i) {
            return std::size_t(std::lower_bound(rows.begin(), rows.end(), row_[i]) - rows.begin());
        };

        double width = 0;
        auto bus = [&](std::size_t i, double x) {
            if (lastChild_[i] != kNone && lastChild_[i] != i + 1)
                band.buses.push_back({x + busOffset_, rowOf(i), rowOf(lastChild_[i])});
        };
        for (std::size_t p : ghosts) {
            band.marks.push_back({ghostX, rowOf(p), Mark::Kind::Ghost, p});
            band.texts.push_back({p == 0 ? SourceText(tree_.nodes[p].name) : tree_.nodes[p].name,
                                  ghostX - name_[p] / 2, name_[p], rowOf(p), Place::Above,
                                  Label::Kind::Ghost, p});
            bus(p, ghostX);
        }
        for (std::size_t k = byDepth_[d0]; k < byDepth_[d1]; ++k) {
            const std::size_t i = order_[k];
            const Node& node = tree_.nodes[i];
            const std::size_t d = depth_[i], row = rowOf(i);
            const double x = xOf(d);
            if (i == 0) {
                const std::string text = SourceText(node.name);
                band.marks.push_back({x, row, Mark::Kind::Source, i});
                band.texts.push_back(
                    {text, x - name_[i] / 2, name_[i], row, Place::Above, Label::Kind::Source, i});
            } else if (Leaf(i)) {
                band.marks.push_back({x, row, Mark::Kind::End, i});
                double left = x + markR_ + pad_;
                band.texts.push_back(
                    {node.name, left, name_[i], row, Place::Beside, Label::Kind::Node, i});
                left += name_[i];
                if (!node.endLabel.empty()) {
                    const double w = end_[i];
                    left += 0.5 * h_;
                    band.texts.push_back(
                        {node.endLabel, left, w, row, Place::Beside, Label::Kind::End, i});
                    left += w;
                }
                width = std::max(width, left);
            } else {
                band.marks.push_back({x, row, Mark::Kind::Junction, i});
                band.texts.push_back({node.name, x - name_[i] / 2, name_[i], row, Place::Above,
                                      Label::Kind::Node, i});
            }
            width = std::max(width, x + Tail(i));
            if (!Leaf(i)) {
                if (d + 1 < d1) {
                    bus(i, x);
                } else {
                    band.runs.push_back(
                        {x + markR_, x + markR_ + stub_, row, Line::Kind::Continuation, kNone});
                    width = std::max(width, x + markR_ + stub_);
                }
            }
            if (i == 0) continue;
            // The segment into the node, from its parent or the parent's bus.
            const std::size_t p = node.parent;
            const double px = d == d0 ? ghostX : xOf(d - 1);
            band.runs.push_back({p + 1 == i ? px : px + busOffset_, x, row, Line::Kind::Pipe, i});
            auto centred = [&](const std::string& text, double w, double from, double to,
                               Place place, Label::Kind kind) {
                if (!text.empty())
                    band.texts.push_back({text, (from + to - w) / 2, w, row, place, kind, i});
            };
            centred(node.segmentId, segment_[i], px + Lead(p) + pad_, x - Tail(i) - pad_,
                    Place::Above, Label::Kind::Segment);
            if (m_.pipes)
                centred(node.pipe, pipe_[i], px + busOffset_ + pad_, x - markR_ - pad_,
                        Place::Below, Label::Kind::Pipe);
        }
        band.width = width + pad_;
        return band;
    }

    double RowY(std::size_t row, std::size_t firstRow, double top) const {
        return top + top_ + double(row - firstRow) * pitch_;
    }

    // Rows a strip of this height holds.
    std::size_t RowsIn(double height) const {
        if (height < top_ + bottom_) return 0;
        return 1 + std::size_t(std::floor((height - top_ - bottom_) / pitch_));
    }

    double PageHeight(std::size_t page) const {
        return page == 0 && m_.firstPageHeight > 0 ? m_.firstPageHeight : m_.pageHeight;
    }

    // The band on the pages: below the bands before it, on a new page when
    // it would fit one whole there or when hardly a row fits here; a band
    // taller than a page is cut at its rows. Every element goes to the
    // strip of its row.
    void Paginate(Band&& band, Layout& layout) const {
        struct Piece {
            std::size_t r0, r1, page;
            double top;
        };
        std::vector<Piece> pieces;
        if (layout.pages.empty()) layout.pages.emplace_back();
        const bool paged = m_.pageHeight > 0;
        constexpr std::size_t kFewestRows = 3;
        std::size_t page = layout.pages.size() - 1;
        double end = layout.pages.back().strips.empty() ? 0 : layout.pages.back().height;
        for (std::size_t r0 = 0; r0 < band.rows;) {
            double top = end > 0 ? end + h_ : 0;
            const std::size_t left = band.rows - r0;
            if (paged && end > 0 && RowsIn(PageHeight(page) - top) < left &&
                (RowsIn(PageHeight(page + 1)) >= left ||
                 RowsIn(PageHeight(page) - top) < kFewestRows)) {
                ++page;
                top = 0;
            }
            const std::size_t r1 =
                paged ? r0 + std::clamp<std::size_t>(RowsIn(PageHeight(page) - top), 1, left)
                      : band.rows;
            pieces.push_back({r0, r1, page, top});
            end = RowY(r1 - 1, r0, top) + bottom_;
            r0 = r1;
        }
        std::vector<std::size_t> pieceOf(band.rows);
        std::vector<Strip> strips(pieces.size());
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const Piece& p = pieces[k];
            std::fill(pieceOf.begin() + std::ptrdiff_t(p.r0),
                      pieceOf.begin() + std::ptrdiff_t(p.r1), k);
            strips[k].top = p.top;
            strips[k].bottom = RowY(p.r1 - 1, p.r0, p.top) + bottom_;
        }
        auto y = [&](std::size_t row) {
            const Piece& p = pieces[pieceOf[row]];
            return RowY(row, p.r0, p.top);
        };
        for (const auto& r : band.runs)
            strips[pieceOf[r.row]].lines.push_back(
                {{r.x0, y(r.row)}, {r.x1, y(r.row)}, r.kind, r.node});
        for (const auto& b : band.buses) {
            // A bus cut by the page runs to its strip's edge.
            for (std::size_t k = pieceOf[b.row0]; k <= pieceOf[b.row1]; ++k) {
                const double y0 = k == pieceOf[b.row0] ? y(b.row0) : strips[k].top;
                const double y1 = k == pieceOf[b.row1] ? y(b.row1) : strips[k].bottom;
                strips[k].lines.push_back({{b.x, y0}, {b.x, y1}, Line::Kind::Bus, kNone});
            }
        }
        for (const auto& mk : band.marks)
            strips[pieceOf[mk.row]].marks.push_back({{mk.x, y(mk.row)}, mk.kind, mk.node});
        for (auto& t : band.texts) {
            const double at = y(t.row);
            const double top = t.place == Place::Above   ? at - markR_ - 1 - h_
                               : t.place == Place::Below ? at + markR_ + 1
                                                         : at - h_ / 2;
            strips[pieceOf[t.row]].labels.push_back(
                {std::move(t.text), t.left, top, t.width, t.kind, t.node});
        }
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            while (layout.pages.size() <= pieces[k].page) layout.pages.emplace_back();
            Page& target = layout.pages[pieces[k].page];
            target.height = strips[k].bottom;
            target.width = std::max(target.width, band.width);
            target.strips.push_back(std::move(strips[k]));
        }
    }

    const Tree& tree_;
    const Metrics& m_;
    double h_, pad_, busOffset_, stub_, pitch_, top_, bottom_;
    double markR_ = 3.5;
    std::size_t n_ = 0, maxDepth_ = 0;
    std::vector<std::size_t> depth_, row_, lastChild_, byDepth_, order_;
    std::vector<double> name_, segment_, pipe_, end_;  // label widths per node
    std::vector<double> x_, extent_, lead_, gap_;
    std::vector<bool> parents_;
};

}  // namespace

Layout LayOut(const Tree& tree, const Metrics& metrics) { return Layouter(tree, metrics).Run(); }

}  // namespace gaspipe::sketch
