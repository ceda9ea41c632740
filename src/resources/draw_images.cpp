// Dev-time generator of the committed logo and icon images, so the artwork is
// reproducible from code rather than edited by hand. The geometry matches
// images/gaspipe.svg. Build target gaspipe_draw_images (not built by default);
// run it with the images directory as argument.
#include <QBrush>
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>
#include <iterator>

namespace {

// The mark in a 75 x 47 design space: a flanged pipe with a gas flame above.
void DrawMark(QPainter& p) {
    QLinearGradient pipe(0, 30, 0, 41);
    pipe.setColorAt(0.0, QColor("#8fa9d6"));
    pipe.setColorAt(0.45, QColor("#3d5f9e"));
    pipe.setColorAt(1.0, QColor("#233c6b"));
    p.setPen(Qt::NoPen);
    p.setBrush(pipe);
    p.drawRoundedRect(QRectF(3, 30, 69, 11), 2, 2);
    p.setBrush(QColor("#233c6b"));
    p.drawRoundedRect(QRectF(12, 27, 5, 17), 1, 1);
    p.drawRoundedRect(QRectF(58, 27, 5, 17), 1, 1);

    QPainterPath outer;
    outer.moveTo(37.5, 2);
    outer.cubicTo(45, 10, 49, 15, 47.5, 21.5);
    outer.cubicTo(46.5, 26, 42.5, 28.5, 37.5, 28.5);
    outer.cubicTo(32.5, 28.5, 28.5, 26, 27.5, 21.5);
    outer.cubicTo(26.5, 16.5, 30.5, 13, 32.5, 8.5);
    outer.cubicTo(34.5, 11, 35.5, 12.5, 36.5, 14.5);
    outer.cubicTo(38, 10.5, 38.5, 6.5, 37.5, 2);
    QLinearGradient flame(0, 28.5, 0, 2);
    flame.setColorAt(0.0, QColor("#1f5fd0"));
    flame.setColorAt(1.0, QColor("#49b6f2"));
    p.setBrush(flame);
    p.drawPath(outer);

    QPainterPath inner;
    inner.moveTo(37.5, 13);
    inner.cubicTo(41, 17, 43, 19.5, 42.5, 22.5);
    inner.cubicTo(42, 25.5, 40, 27, 37.5, 27);
    inner.cubicTo(35, 27, 33, 25.5, 32.5, 22.5);
    inner.cubicTo(32, 19.5, 34.5, 16.5, 37.5, 13);
    p.setBrush(QColor("#d8f1ff"));
    p.drawPath(inner);
}

QImage Logo() {
    QImage img(75, 47, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMark(p);
    return img;
}

// The light rounded tile both icons stand on, in a 128 design space.
QImage Tile(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    p.setPen(QPen(QColor("#9fb4dc"), 2));
    p.setBrush(QColor("#eef3fc"));
    p.drawRoundedRect(QRectF(5, 5, 118, 118), 22, 22);
    return img;
}

// Square application icon: the mark on the tile.
QImage Icon(int size) {
    QImage img = Tile(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    p.translate(64 - 37.5 * 1.5, 64 - 23.5 * 1.5);
    p.scale(1.5, 1.5);
    DrawMark(p);
    return img;
}

// A Windows icon file holding an icon at the sizes Explorer, the taskbar
// and the title bar ask for, each entry a PNG (read since Windows Vista).
bool SaveIco(const QString& path, QImage (*icon)(int size)) {
    const int sizes[] = {16, 24, 32, 48, 64, 256};
    QByteArray directory, images;
    auto put16 = [](QByteArray& a, int v) { a.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); };
    auto put32 = [&](QByteArray& a, int v) { put16(a, v & 0xFFFF), put16(a, v >> 16 & 0xFFFF); };
    const int headerBytes = 6 + 16 * int(std::size(sizes));
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!icon(size).save(&buffer, "PNG")) return false;
        directory.append(char(size == 256 ? 0 : size)).append(char(size == 256 ? 0 : size));
        directory.append(char(0)).append(char(0));  // no palette, reserved
        put16(directory, 1);                        // colour planes
        put16(directory, 32);                       // bits per pixel
        put32(directory, int(png.size()));
        put32(directory, headerBytes + int(images.size()));
        images.append(png);
    }
    QByteArray ico;
    put16(ico, 0), put16(ico, 1), put16(ico, int(std::size(sizes)));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ico + directory + images) > 0;
}

// The calculation table's icon: a sheet with a heading row and a falling
// pressure line, on the same tile. Matches images/gaspipe-table.svg.
QImage TableIcon(int size) {
    QImage img = Tile(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    p.setPen(QPen(QColor("#3d5f9e"), 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(22, 24, 84, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#3d5f9e"));
    p.drawRect(QRectF(22, 24, 84, 16));
    p.setPen(QPen(QColor("#9fb4dc"), 1.5));
    for (double y : {56.0, 72.0, 88.0}) p.drawLine(QPointF(23, y), QPointF(105, y));
    for (double x : {50.0, 78.0}) p.drawLine(QPointF(x, 40), QPointF(x, 103));
    const QPointF line[] = {{30, 50}, {50, 60}, {78, 74}, {98, 94}};
    QPen profile(QColor("#1f5fd0"), 4);
    profile.setCapStyle(Qt::RoundCap);
    profile.setJoinStyle(Qt::RoundJoin);
    p.setPen(profile);
    p.drawPolyline(line, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#1f5fd0"));
    for (const QPointF& at : line) p.drawEllipse(at, 4, 4);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s IMAGES_DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = Logo().save(dir.filePath("logo.png"));
    for (int size : {48, 128, 256})
        ok = Icon(size).save(dir.filePath(QStringLiteral("gaspipe-%1.png").arg(size))) &&
             TableIcon(size).save(dir.filePath(QStringLiteral("gaspipe-table-%1.png").arg(size))) &&
             ok;
    ok = SaveIco(dir.filePath("gaspipe.ico"), Icon) && ok;
    ok = SaveIco(dir.filePath("gaspipe-table.ico"), TableIcon) && ok;
    return ok ? 0 : 1;
}
