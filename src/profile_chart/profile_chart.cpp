#include "profile_chart.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "atomic_file.h"

namespace gaspipe {

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Beyond this many nodes on a path their names would overlap into a smear:
// only the source and the end node are named.
constexpr std::size_t kMostNamedNodes = 60;

// Qt Charts labels points only with their coordinates, so the node names are
// text items of the chart, placed again whenever the plot area moves: over
// their point, or under it where the plot's top is too near, always inside
// the plot; a name that would run into the one before it is left out.
void LabelNodes(QChart* chart, QScatterSeries* nodes, const network::Profile& profile) {
    const std::size_t count = profile.points.size();
    std::vector<std::pair<int, QGraphicsSimpleTextItem*>> labels;  // point index, its name
    for (std::size_t i = 0; i < count; ++i) {
        if (count > kMostNamedNodes && i != 0 && i + 1 != count) continue;
        auto* label = new QGraphicsSimpleTextItem(Text(profile.points[i].node), chart);
        label->setZValue(10);
        labels.emplace_back(int(i), label);
    }
    auto place = [chart, nodes, labels] {
        const auto points = nodes->points();
        const QRectF area = chart->plotArea();
        std::vector<QRectF> boxes;
        for (const auto& [i, label] : labels) {
            const QPointF at =
                i < points.size() ? chart->mapToPosition(points[i], nodes) : QPointF();
            QRectF box = label->boundingRect();
            const double x = std::clamp(at.x() - box.width() / 2, area.left() + 2,
                                        std::max(area.left() + 2, area.right() - box.width() - 2));
            double y = at.y() - box.height() - 4;
            if (y < area.top() + 1) y = at.y() + 5;
            y = std::clamp(y, area.top() + 1,
                           std::max(area.top() + 1, area.bottom() - box.height() - 1));
            box.moveTo(x, y);
            label->setPos(box.topLeft());
            boxes.push_back(box.adjusted(-3, -1, 3, 1));
        }
        // The last node is always named; a name that would touch the one
        // shown before it or the last one gives way.
        std::optional<QRectF> shown;
        for (std::size_t k = 0; k < labels.size(); ++k) {
            const bool last = k + 1 == labels.size();
            const bool room = last || ((!shown || !shown->intersects(boxes[k])) &&
                                       !boxes.back().intersects(boxes[k]));
            labels[k].second->setVisible(room);
            if (room) shown = boxes[k];
        }
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place();
}

// An arrow at the foot of the plot: the allowed minimum lies below it.
void MarkLimitBelow(QChart* chart, const QString& text) {
    auto* mark = new QGraphicsSimpleTextItem(text, chart);
    mark->setBrush(QColor(0xC0, 0x20, 0x20));
    mark->setZValue(10);
    auto place = [chart, mark] {
        const QRectF area = chart->plotArea();
        const QRectF box = mark->boundingRect();
        mark->setPos(area.left() + 4, area.bottom() - box.height() - 2);
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place();
}

// Decimals that tell the axis's ticks apart.
QString TickFormat(const QValueAxis* axis) {
    const int ticks = std::max(2, axis->tickCount());
    const double step = (axis->max() - axis->min()) / (ticks - 1);
    int decimals = 0;
    while (decimals < 6 && std::abs(step * std::pow(10.0, decimals) -
                                    std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return QStringLiteral("%.") + QString::number(decimals) + QLatin1Char('f');
}

QString PressureText(double value, bool lowPressure) {
    return lowPressure ? QString::number(value, 'f', 0) + QStringLiteral(" Pa")
                       : QString::number(value, 'g', 6) + QStringLiteral("×10⁵ Pa");
}

}  // namespace

QChart* BuildProfileChart(const network::Profile& profile, bool lowPressure) {
    // No title: the sheet's caption and the window's panel say what it shows.
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* line = new QLineSeries;
    line->setName(QStringLiteral("计算压力"));
    auto* nodes = new QScatterSeries;
    nodes->setName(QStringLiteral("节点"));
    nodes->setMarkerSize(7);
    double maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (const auto& p : profile.points) {
        line->append(p.distance, p.pressure);
        nodes->append(p.distance, p.pressure);
        if (first) {
            minY = maxY = p.pressure;
            first = false;
        }
        minY = std::min(minY, p.pressure);
        maxY = std::max(maxY, p.pressure);
        maxX = std::max(maxX, p.distance);
    }
    chart->addSeries(line);
    chart->addSeries(nodes);

    // The axis is fitted to the pressures. The allowed minimum is drawn where
    // it lies when that leaves the pressures at least a third of the plot;
    // further down it is named in the legend and marked at the plot's foot.
    QLineSeries* limit = nullptr;
    bool limitOnScale = false;
    if (profile.lowestAllowed) {
        const double allowed = *profile.lowestAllowed;
        limitOnScale = allowed >= maxY - 3 * (maxY - minY) || first;
        limit = new QLineSeries;
        limit->setName(QStringLiteral("允许最低压力"));
        QPen pen(QColor(0xC0, 0x20, 0x20));
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        limit->setPen(pen);
        if (limitOnScale) {
            minY = std::min(minY, allowed);
            maxY = std::max(maxY, allowed);
        }
        chart->addSeries(limit);
    }

    auto* axisX = new QValueAxis;
    axisX->setTitleText(QStringLiteral("距气源距离 (m)"));
    axisX->setRange(0, maxX > 0 ? maxX : 1);
    axisX->applyNiceNumbers();
    axisX->setLabelFormat(TickFormat(axisX));
    // A little room left and right, so that the source's and the last
    // node's markers are drawn whole; the ticks stay where they were.
    const double interval = (axisX->max() - axisX->min()) / std::max(1, axisX->tickCount() - 1);
    const double roomX = 0.02 * (axisX->max() - axisX->min());
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(axisX->min());
    axisX->setTickInterval(interval);
    axisX->setRange(axisX->min() - roomX, axisX->max() + roomX);

    auto* axisY = new QValueAxis;
    axisY->setTitleText(lowPressure ? QStringLiteral("压力 (Pa，表压)")
                                    : QStringLiteral("压力 (10⁵ Pa，绝压)"));
    const double pad = std::max((maxY - minY) * 0.12, lowPressure ? 2.0 : 0.0005);
    axisY->setRange(minY - pad, maxY + pad);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(TickFormat(axisY));
    if (limit && limitOnScale) {
        // Across the whole plot, not only the path.
        limit->append(axisX->min(), *profile.lowestAllowed);
        limit->append(axisX->max(), *profile.lowestAllowed);
    }
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    if (limit && !limitOnScale)
        MarkLimitBelow(chart, QStringLiteral("▼ 允许最低压力 %1，在图示范围以下")
                                  .arg(PressureText(*profile.lowestAllowed, lowPressure)));
    LabelNodes(chart, nodes, profile);
    return chart;
}

void PaintProfileChart(const network::Profile& profile, bool lowPressure, QPainter& painter,
                       const QRectF& target) {
    QGraphicsScene scene;
    QChart* chart = BuildProfileChart(profile, lowPressure);  // owned by the scene
    scene.addItem(chart);
    chart->resize(target.size());
    chart->setBackgroundRoundness(0);
    scene.setSceneRect(QRectF(QPointF(0, 0), target.size()));
    scene.render(&painter, target, scene.sceneRect());
}

bool ExportProfileChartPng(const network::Profile& profile, bool lowPressure, QSize size,
                           const std::string& path, std::string& error) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintProfileChart(profile, lowPressure, painter, QRectF(QPointF(0, 0), size));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = "the image could not be encoded";
        return false;
    }
    return fileio::WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()), error);
}

bool ExportProfileChartSvg(const network::Profile& profile, bool lowPressure, QSize size,
                           const std::string& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("压力曲线"));
    {
        QPainter painter(&svg);
        PaintProfileChart(profile, lowPressure, painter, QRectF(QPointF(0, 0), size));
    }
    return fileio::WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()), error);
}

}  // namespace gaspipe
