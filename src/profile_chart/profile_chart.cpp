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
#include <memory>
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
// text items of the chart, placed again whenever the plot area moves.
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
        for (const auto& [i, label] : labels) {
            if (i >= points.size()) continue;
            const QPointF at = chart->mapToPosition(points[i], nodes);
            const QRectF box = label->boundingRect();
            const QRectF area = chart->plotArea();
            // Kept inside the plot, clear of the axis labels.
            const double x = std::clamp(at.x() - box.width() / 2, area.left() + 2,
                                        std::max(area.left() + 2, area.right() - box.width()));
            label->setPos(x, at.y() - box.height() - 4);
        }
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place();
}

}  // namespace

QChart* BuildProfileChart(const network::Profile& profile, bool lowPressure) {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (!profile.points.empty()) {
        chart->setTitle(
            QStringLiteral("压力曲线：%1 → %2")
                .arg(Text(profile.points.front().node), Text(profile.points.back().node)));
    }

    auto* line = new QLineSeries;
    line->setName(QStringLiteral("计算压力"));
    auto* nodes = new QScatterSeries;
    nodes->setName(QStringLiteral("节点"));
    nodes->setMarkerSize(7);
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
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

    QLineSeries* limit = nullptr;
    if (profile.lowestAllowed) {
        limit = new QLineSeries;
        limit->setName(QStringLiteral("允许最低压力"));
        QPen pen(QColor(0xC0, 0x20, 0x20));
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        limit->setPen(pen);
        minY = std::min(minY, *profile.lowestAllowed);
        maxY = std::max(maxY, *profile.lowestAllowed);
        chart->addSeries(limit);
    }

    auto* axisX = new QValueAxis;
    axisX->setTitleText(QStringLiteral("距气源距离 (m)"));
    axisX->setRange(minX, maxX > minX ? maxX : minX + 1);
    axisX->applyNiceNumbers();
    axisX->setLabelFormat(axisX->max() - axisX->min() >= 5 ? QStringLiteral("%.0f")
                                                           : QStringLiteral("%.1f"));
    auto* axisY = new QValueAxis;
    axisY->setTitleText(lowPressure ? QStringLiteral("压力 (Pa，表压)")
                                    : QStringLiteral("压力 (10⁵ Pa，绝压)"));
    const double pad = std::max((maxY - minY) * 0.08, lowPressure ? 1.0 : 0.001);
    axisY->setRange(minY - pad, maxY + pad);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(lowPressure ? QStringLiteral("%.0f") : QStringLiteral("%.3f"));
    if (limit) {
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
