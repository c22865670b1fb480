// Draws the program's tool bar pictures and tree icons into the "Icons"
// folder of each staging folder given: NAME.png at normal density and
// NAME@2x.png at twice the density, which Qt picks on high-density screens.
// Every picture is drawn from shapes in a 24 x 24 (tool bar) or 16 x 16
// (tree) grid, so both densities are sharp.
//
//     make_icons DEST...
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Draw = std::function<void(QPainter&)>;

struct Picture {
    const char* name;
    int size; // in grid units
    Draw draw;
};

const QColor kOutline(0x33, 0x3a, 0x44);

QPen outline(double width = 1.0)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, QRectF r, const QColor& fill)
{
    const double fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(fill);
    p.drawPath(path);
    p.setBrush(QColor(0xd8, 0xdd, 0xe4));
    p.drawPolygon(QPolygonF({QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                             QPointF(r.right(), r.top() + fold)}));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double head = width * 1.9;
    p.setBrush(colour);
    p.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(QPolygonF({to + u * head * 0.6, to - u * head + n * head, to - u * head - n * head}));
}

void bigArrow(QPainter& p, bool up)
{
    // A broad arrow in the middle of the grid.
    QPolygonF shape({QPointF(12, 2.5), QPointF(21.5, 12), QPointF(16, 12), QPointF(16, 21.5), QPointF(8, 21.5),
                     QPointF(8, 12), QPointF(2.5, 12)});
    if (!up)
        for (QPointF& point : shape)
            point.setY(24 - point.y());
    QLinearGradient fill(0, 2, 0, 22);
    fill.setColorAt(0, QColor(0x6c, 0xc2, 0x4a));
    fill.setColorAt(1, QColor(0x2f, 0x8a, 0x2a));
    p.setPen(outline());
    p.setBrush(fill);
    p.drawPolygon(shape);
}

void disc(QPainter& p, const QColor& light, const QColor& dark)
{
    QRadialGradient fill(QPointF(9, 8), 14);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setPen(outline());
    p.setBrush(fill);
    p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
}

void picture(QPainter& p, QRectF r, bool bright)
{
    p.setPen(outline());
    p.setBrush(bright ? QColor(0xb9, 0xe3, 0xff) : QColor(0x8c, 0xc6, 0xee));
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xc4, 0x30));
    const double unit = r.width() / 10;
    p.drawEllipse(QPointF(r.right() - 2.6 * unit, r.top() + 2.6 * unit), 1.3 * unit, 1.3 * unit);
    p.setBrush(bright ? QColor(0x5c, 0xb8, 0x4c) : QColor(0x3f, 0x95, 0x3a));
    p.drawPolygon(QPolygonF({QPointF(r.left() + 0.5, r.bottom() - 0.5), QPointF(r.left() + 3.5 * unit, r.top() + 4 * unit),
                             QPointF(r.left() + 6 * unit, r.bottom() - 2.5 * unit),
                             QPointF(r.left() + 7.5 * unit, r.top() + 5.5 * unit),
                             QPointF(r.right() - 0.5, r.bottom() - 0.5)}));
}

void folder(QPainter& p, QRectF r, bool open)
{
    p.setPen(outline());
    p.setBrush(QColor(0xe0, 0xa8, 0x30));
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 1);
    back.lineTo(r.left() + r.width() * 0.35, r.top() + 1);
    back.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.18);
    back.lineTo(r.right(), r.top() + r.height() * 0.18);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(0xf8, 0xd0, 0x60));
    if (open)
        p.drawPolygon(QPolygonF({QPointF(r.left(), r.bottom()), QPointF(r.left() + r.width() * 0.18, r.top() + r.height() * 0.4),
                                 QPointF(r.right() + r.width() * 0.08, r.top() + r.height() * 0.4),
                                 QPointF(r.right(), r.bottom())}));
    else
        p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.32, r.width(), r.height() * 0.68));
}

void face(QPainter& p, QRectF r, bool bright)
{
    p.setPen(outline());
    p.setBrush(bright ? QColor(0xff, 0xe2, 0xb8) : QColor(0xf2, 0xc8, 0x96));
    p.drawEllipse(r);
    p.setBrush(kOutline);
    p.setPen(Qt::NoPen);
    const double u = r.width() / 12;
    p.drawEllipse(QPointF(r.left() + 4 * u, r.top() + 4.8 * u), 0.9 * u, 0.9 * u);
    p.drawEllipse(QPointF(r.left() + 8 * u, r.top() + 4.8 * u), 0.9 * u, 0.9 * u);
    p.setBrush(QColor(0xb0, 0x30, 0x30));
    p.drawEllipse(QRectF(r.left() + 4.5 * u, r.top() + 7.4 * u, 3 * u, 2 * u));
}

const std::vector<Picture>& pictures()
{
    static const std::vector<Picture> list = {
        {"new", 24, [](QPainter& p) {
             page(p, QRectF(4.5, 2.5, 14, 19), Qt::white);
             p.setPen(QPen(QColor(0xe0, 0x9a, 0x10), 2.2, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(18, 15), QPointF(18, 22));
             p.drawLine(QPointF(14.5, 18.5), QPointF(21.5, 18.5));
         }},
        {"open", 24, [](QPainter& p) { folder(p, QRectF(2.5, 5.5, 18, 14), true); }},
        {"save", 24, [](QPainter& p) {
             p.setPen(outline());
             p.setBrush(QColor(0x3a, 0x6e, 0xc0));
             p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 2, 2);
             p.setBrush(Qt::white);
             p.drawRect(QRectF(6.5, 3.5, 11, 7));
             p.setBrush(QColor(0xc8, 0xd2, 0xe0));
             p.drawRect(QRectF(7.5, 13.5, 9, 7));
             p.setBrush(kOutline);
             p.drawRect(QRectF(13.5, 5, 2, 4));
         }},
        {"import", 24, [](QPainter& p) {
             picture(p, QRectF(7.5, 8.5, 14, 12), false);
             arrow(p, QPointF(2.5, 3), QPointF(9, 9.5), QColor(0x2f, 0x8a, 0x2a), 2.2);
         }},
        {"up", 24, [](QPainter& p) { bigArrow(p, true); }},
        {"down", 24, [](QPainter& p) { bigArrow(p, false); }},
        {"add", 24, [](QPainter& p) {
             disc(p, QColor(0x8c, 0xdc, 0x6a), QColor(0x2f, 0x8a, 0x2a));
             p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(12, 7.5), QPointF(12, 16.5));
             p.drawLine(QPointF(7.5, 12), QPointF(16.5, 12));
         }},
        {"delete", 24, [](QPainter& p) {
             disc(p, QColor(0xf0, 0x80, 0x70), QColor(0xb0, 0x22, 0x1c));
             p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
             p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
             p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
         }},
        {"preview", 24, [](QPainter& p) {
             p.setPen(outline());
             p.setBrush(Qt::white);
             p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 1.5, 1.5);
             p.setBrush(QColor(0x3a, 0x6e, 0xc0));
             p.drawRect(QRectF(2.5, 4.5, 19, 3));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0x2f, 0x8a, 0x2a));
             p.drawPolygon(QPolygonF({QPointF(9.5, 10), QPointF(16, 13.5), QPointF(9.5, 17)}));
         }},
        {"export", 24, [](QPainter& p) {
             p.setPen(outline());
             p.setBrush(QColor(0xc8, 0x9a, 0x60));
             p.drawRect(QRectF(3.5, 11.5, 13, 9));
             p.setBrush(QColor(0xe0, 0xb8, 0x80));
             p.drawPolygon(QPolygonF({QPointF(3.5, 11.5), QPointF(6.5, 8.5), QPointF(19.5, 8.5), QPointF(16.5, 11.5)}));
             arrow(p, QPointF(12, 15), QPointF(20, 4), QColor(0x3a, 0x6e, 0xc0), 2.2);
         }},
        {"project", 24, [](QPainter& p) {
             p.setPen(outline());
             p.setBrush(QColor(0xf0, 0xe6, 0xd2));
             p.drawEllipse(QRectF(2.5, 3.5, 19, 17));
             const QColor colours[] = {QColor(0xd0, 0x30, 0x30), QColor(0xf0, 0xb0, 0x20), QColor(0x30, 0x90, 0x40),
                                       QColor(0x30, 0x60, 0xc0)};
             const QPointF spots[] = {QPointF(8, 8.5), QPointF(12.5, 7), QPointF(16.5, 9.5), QPointF(16, 14)};
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 4; ++i) {
                 p.setBrush(colours[i]);
                 p.drawEllipse(spots[i], 1.9, 1.9);
             }
             p.setBrush(Qt::white);
             p.setPen(outline());
             p.drawEllipse(QPointF(8.5, 15), 2.2, 2.2);
         }},
        {"info", 24, [](QPainter& p) {
             disc(p, QColor(0x80, 0xb0, 0xf0), QColor(0x26, 0x56, 0xa8));
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(12, 7.5), 1.7, 1.7);
             p.drawRoundedRect(QRectF(10.5, 10.5, 3, 7.5), 1, 1);
         }},
        {"tree-project", 16, [](QPainter& p) { folder(p, QRectF(1.5, 2.5, 13, 11), false); }},
        {"tree-project-selected", 16, [](QPainter& p) { folder(p, QRectF(1.5, 2.5, 13, 11), true); }},
        {"tree-session", 16, [](QPainter& p) { face(p, QRectF(2.5, 2.5, 11, 11), false); }},
        {"tree-session-selected", 16, [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 255, 255, 150));
             p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
             face(p, QRectF(2.5, 2.5, 11, 11), true);
         }},
        {"tree-slide", 16, [](QPainter& p) { picture(p, QRectF(1.5, 3.5, 13, 10), false); }},
        {"tree-slide-selected", 16, [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 255, 255, 150));
             p.drawRect(QRectF(0, 2, 16, 13));
             picture(p, QRectF(1.5, 3.5, 13, 10), true);
         }},
    };
    return list;
}

QImage render(const Picture& picture, int scale)
{
    QImage image(picture.size * scale, picture.size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    picture.draw(p);
    p.end();
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_icons DEST...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const QString folder = QString::fromLocal8Bit(argv[i]) + "/Icons/";
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "make_icons: cannot make %s\n", qPrintable(folder));
            return 1;
        }
        for (const Picture& picture : pictures()) {
            for (int scale : {1, 2}) {
                const QString file = folder + picture.name + (scale == 2 ? "@2x.png" : ".png");
                if (!render(picture, scale).save(file, "PNG")) {
                    std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
                    return 1;
                }
            }
        }
    }
    return 0;
}
