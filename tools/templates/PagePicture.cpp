#include "PagePicture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace pavonia::stock {

Paint paintOf(const Style& s)
{
    Paint p;
    p.background1 = s.colour("Background", "#e8ecef");
    p.background2 = s.colour("Background2", "#cfd6dc");
    p.headingBand = s.colour("HeadingBand", "none");
    p.headingPanel = s.colour("HeadingPanel", "none");
    p.heading = s.colour("Heading", "#20303c");
    p.headingRule = s.colour("HeadingRule", "none");
    p.subTopic = s.colour("SubTopic", "#20303c");
    p.subTopicPanel = s.colour("SubTopicPanel", "none");
    p.panel = s.colour("Panel", "#fbfbf8");
    p.panelLine = s.colour("PanelText", "#8a96a0");
    p.mediaMat = s.colour("MediaMat", "#fbfbf8");
    p.sky = s.colour("MediaSky", "#9cc5e0");
    p.hill = s.colour("MediaHill", "#5f8f6b");
    p.sun = s.colour("MediaSun", "#f4d35e");
    p.talkerBack = s.colour("TalkerBack", "#dfe6ec");
    p.talkerFigure = s.colour("TalkerFigure", "#8397a8");
    p.talkerBorder = s.colour("TalkerBorder", "none");
    p.controlsPanel = s.colour("ControlsPanel", "none");
    p.accent = s.colour("Accent", "#3a6ea5");
    p.accentIcon = s.colour("AccentIcon", "#fefefe");
    p.headingFont = QString::fromStdString(s.text("HeadingFont", "DejaVu Sans"));
    p.headingBold = s.number("HeadingBold", 0) != 0;
    p.radius = s.number("Radius", 8);
    return p;
}

// The neutral drawing used for the layout thumbnails.
Paint wireframePaint()
{
    Paint p;
    p.background1 = QColor("#f2f4f6");
    p.background2 = QColor("#e3e8ec");
    p.heading = QColor("#3d4b57");
    p.headingRule = QColor("#9aa8b4");
    p.subTopic = QColor("#3d4b57");
    p.subTopicPanel = QColor("#d5dde4");
    p.panel = QColor("#d5dde4");
    p.panelLine = QColor("#8594a1");
    p.mediaMat = QColor("#c4d0da");
    p.sky = QColor("#a9c6dd");
    p.hill = QColor("#7fa08a");
    p.sun = QColor("#e9cf7a");
    p.talkerBack = QColor("#c9d4dd");
    p.talkerFigure = QColor("#7c8d9c");
    p.accent = QColor("#7c8d9c");
    p.accentIcon = QColor("#f2f4f6");
    p.headingBold = true;
    p.radius = 10;
    return p;
}

namespace {

QRectF rectOf(const Rect& r)
{
    return QRectF(r.l, r.t, r.w, r.h);
}

void fillPanel(QPainter& painter, const QRectF& rect, const QColor& colour, int radius)
{
    if (!colour.isValid())
        return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(rect, radius, radius);
}

// Grey lines standing for a paragraph of text.
void drawTextLines(QPainter& painter, const QRectF& area, const QColor& colour, double lineHeight)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const double bar = std::max(1.0, lineHeight * 0.42);
    int line = 0;
    for (double y = area.top(); y + bar <= area.bottom(); y += lineHeight, ++line) {
        const double share = (line % 4 == 3) ? 0.62 : (line % 2 ? 0.94 : 0.88);
        painter.drawRoundedRect(QRectF(area.left(), y, area.width() * share, bar), bar / 2, bar / 2);
    }
}

// A landscape picture standing for slide media.
void drawPicture(QPainter& painter, const QRectF& area, const Paint& p)
{
    const double side = std::min(area.width(), area.height() * 4.0 / 3.0);
    const QRectF picture(area.center().x() - side / 2, area.center().y() - side * 3 / 8, side, side * 3 / 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(p.sky);
    painter.drawRect(picture);
    painter.setBrush(p.sun);
    const double sun = picture.height() * 0.12;
    painter.drawEllipse(QPointF(picture.left() + picture.width() * 0.74, picture.top() + picture.height() * 0.28),
                        sun, sun);
    QPainterPath hills;
    hills.moveTo(picture.left(), picture.bottom());
    hills.lineTo(picture.left(), picture.top() + picture.height() * 0.7);
    hills.quadTo(picture.left() + picture.width() * 0.28, picture.top() + picture.height() * 0.42,
                 picture.left() + picture.width() * 0.55, picture.top() + picture.height() * 0.68);
    hills.quadTo(picture.left() + picture.width() * 0.78, picture.top() + picture.height() * 0.52,
                 picture.right(), picture.top() + picture.height() * 0.62);
    hills.lineTo(picture.right(), picture.bottom());
    hills.closeSubpath();
    painter.setBrush(p.hill);
    painter.drawPath(hills);
}

void drawFigure(QPainter& painter, const QRectF& area, const QColor& colour)
{
    const double w = std::min(area.width() * 0.8, area.height() * 0.78 * 100.0 / 120.0);
    const double h = w * 1.2;
    const QRectF box(area.center().x() - w / 2, area.bottom() - h, w, h);
    const double u = w / 100.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(box.left() + 50 * u, box.top() + 44 * u), 23 * u, 23 * u);
    QPainterPath body;
    body.moveTo(box.left() + 8 * u, box.bottom());
    body.cubicTo(box.left() + 8 * u, box.top() + 88 * u, box.left() + 27 * u, box.top() + 74 * u,
                 box.left() + 50 * u, box.top() + 74 * u);
    body.cubicTo(box.left() + 73 * u, box.top() + 74 * u, box.left() + 92 * u, box.top() + 88 * u, box.right(),
                 box.bottom());
    body.closeSubpath();
    painter.drawPath(body);
}

void drawText(QPainter& painter, const QRectF& area, const QString& text, const QString& family, double pixelSize,
              bool bold, const QColor& colour, bool antialias)
{
    QFont font(family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    font.setBold(bold);
    if (!antialias)
        font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

} // namespace

QImage drawPage(const Geometry& g, const Paint& p, QSize size, bool maskMode)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, !maskMode);
    painter.scale(double(size.width()) / g.width, double(size.height()) / g.height);
    const double pixel = double(g.width) / size.width(); // one output pixel in page units
    const bool textReadable = pixel < 3.0;

    if (!maskMode) {
        QLinearGradient gradient(0, 0, g.width * 0.35, g.height);
        gradient.setColorAt(0, p.background1);
        gradient.setColorAt(1, p.background2);
        painter.fillRect(QRectF(0, 0, g.width, g.height), gradient);
    }
    const auto area = [&](const char* name) -> const Rect* {
        const auto it = g.areas.find(name);
        return it == g.areas.end() ? nullptr : &it->second;
    };

    if (const Rect* r = area("heading")) {
        QRectF box = rectOf(*r);
        if (p.headingBand.isValid())
            painter.fillRect(QRectF(0, 0, g.width, box.bottom() + box.top() * 0.25), p.headingBand);
        fillPanel(painter, box, p.headingPanel, p.radius);
        if (p.headingPanel.isValid())
            box.adjust(18, 0, -18, 0);
        if (p.headingRule.isValid())
            painter.fillRect(QRectF(box.left(), box.bottom() - 2, box.width(), std::max(2.0, pixel)), p.headingRule);
        if (textReadable)
            drawText(painter, box.adjusted(0, 0, 0, -4), "Presentation Title", p.headingFont, box.height() * 0.56,
                     p.headingBold, p.heading, !maskMode);
        else
            fillPanel(painter, QRectF(box.left(), box.center().y() - box.height() * 0.22, box.width() * 0.55,
                                      box.height() * 0.34),
                      p.heading, 3);
    }
    if (const Rect* r = area("talker")) {
        const QRectF box = rectOf(*r);
        if (p.talkerBorder.isValid())
            fillPanel(painter, box.adjusted(-4, -4, 4, 4), p.talkerBorder, p.radius + 3);
        fillPanel(painter, box, p.talkerBack, p.radius);
        drawFigure(painter, box, p.talkerFigure);
    }
    if (const Rect* r = area("subtopic")) {
        const QRectF box = rectOf(*r);
        fillPanel(painter, box, p.subTopicPanel, p.radius);
        const QRectF inner = box.adjusted(p.subTopicPanel.isValid() ? 14 : 0, 0, -14, 0);
        if (textReadable)
            drawText(painter, inner, "Slide Title", p.headingFont, std::min(box.height() * 0.5, 24.0), true,
                     p.subTopic, !maskMode);
        else
            fillPanel(painter, QRectF(inner.left(), box.center().y() - 6, inner.width() * 0.4, 12), p.subTopic, 3);
    }
    if (const Rect* r = area("media")) {
        const QRectF box = rectOf(*r);
        fillPanel(painter, box, p.mediaMat, p.radius);
        drawPicture(painter, box.adjusted(12, 12, -12, -12), p);
    }
    if (const Rect* r = area("description")) {
        const QRectF box = rectOf(*r);
        fillPanel(painter, box, p.panel, p.radius);
        drawTextLines(painter, box.adjusted(16, 18, -16, -12), p.panelLine, std::max(18.0, pixel * 3));
    }
    if (const Rect* r = area("controls")) {
        const QRectF box = rectOf(*r);
        fillPanel(painter, box, p.controlsPanel, p.radius);
        const double d = std::min(box.height() * 0.8, 32.0);
        const double gap = d * 0.35;
        double x = box.center().x() - (3 * d + 2 * gap) / 2;
        for (int i = 0; i < 3; ++i, x += d + gap) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(p.accent);
            const QRectF button(x, box.center().y() - d / 2, d, d);
            painter.drawEllipse(button);
            painter.setBrush(p.accentIcon);
            const double s = d * 0.22;
            const QPointF c = button.center();
            QPolygonF arrow;
            if (i == 0)
                arrow << QPointF(c.x() + s, c.y() - s) << QPointF(c.x() + s, c.y() + s) << QPointF(c.x() - s, c.y());
            else
                arrow << QPointF(c.x() - s * 0.8, c.y() - s * 1.2) << QPointF(c.x() - s * 0.8, c.y() + s * 1.2)
                      << QPointF(c.x() + s * 1.2, c.y());
            painter.drawPolygon(arrow);
        }
    }
    painter.end();

    if (maskMode) {
        // Pure white belongs to the background alone: anything inside an
        // area that came out white is nudged off white.
        for (const auto& [name, r] : g.areas) {
            const double fx = double(size.width()) / g.width, fy = double(size.height()) / g.height;
            const int x0 = std::max(0, int(std::floor(r.l * fx))), y0 = std::max(0, int(std::floor(r.t * fy)));
            const int x1 = std::min(size.width(), int(std::ceil((r.l + r.w) * fx)));
            const int y1 = std::min(size.height(), int(std::ceil((r.t + r.h) * fy)));
            if ((name == "heading" && !p.headingPanel.isValid())
                || (name == "controls" && !p.controlsPanel.isValid()))
                continue; // drawn straight on the background
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    if (image.pixel(x, y) == qRgb(255, 255, 255))
                        image.setPixel(x, y, qRgb(254, 254, 254));
        }
    }
    return image;
}

} // namespace pavonia::stock
