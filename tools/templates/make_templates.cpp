// Builds the generated part of the stock template library: the page
// templates, the style and layout pictures and the style "info.ini" files.
//
// Usage: make_templates SOURCE-FOLDER TEMPLATE-FOLDER...
//
// SOURCE-FOLDER holds
//   layouts/L<m>.geo     one geometry table per layout: the rectangles of the
//                        page's areas, for the 800 x 600 page and for any
//                        page size that is not a scaled copy of it;
//   styles/<name>/style.ini   folder, description, sizes, layouts and the
//                        colours the pictures are drawn in;
//   styles/<name>/page.htm    the page source of the style;
//   *.htm, *.css         parts the page sources include.
// Everything is written into each TEMPLATE-FOLDER (the staged library).
//
// A page source is plain HTML with placeholders: {{include:FILE}} inserts a
// part, {{page.w}} and {{page.h}} give the page size, {{AREA.l}}, {{AREA.t}},
// {{AREA.w}}, {{AREA.h}} and {{AREA.display}} an area's rectangle ("block",
// or "none" with a zero rectangle when the layout has no such area), and
// {{s:N}} the length N of the 800 x 600 page scaled to the page size.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "make_templates: %s\n", message.c_str());
    std::exit(1);
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> splitList(const std::string& text, char delimiter)
{
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, delimiter))
        if (!trim(piece).empty())
            pieces.push_back(trim(piece));
    return pieces;
}

int toInt(const std::string& text, const std::string& where)
{
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size())
            return value;
    } catch (const std::exception&) {
    }
    fail("not a number: \"" + text + "\" in " + where);
}

// --- Outputs ------------------------------------------------------------------

class Outputs {
public:
    explicit Outputs(std::vector<fs::path> roots) : roots_(std::move(roots)) {}

    void write(const std::string& relativePath, const QByteArray& bytes) const
    {
        for (const auto& root : roots_) {
            const fs::path path = root / relativePath;
            fs::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(bytes.constData(), bytes.size());
            if (!out)
                fail("cannot write " + path.string());
        }
    }

    void write(const std::string& relativePath, const std::string& text) const
    {
        write(relativePath, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }

    void writeImage(const std::string& relativePath, const QImage& image, const char* format) const
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, format, std::string(format) == "JPG" ? 92 : -1))
            fail("cannot encode " + relativePath);
        write(relativePath, bytes);
    }

private:
    std::vector<fs::path> roots_;
};

// --- Layout geometry ------------------------------------------------------------

struct Rect {
    int l = 0, t = 0, w = 0, h = 0;
};

const std::vector<std::string> kAreas = {"heading", "talker", "subtopic", "media", "description", "controls"};

struct Geometry {
    int width = 0, height = 0;
    std::map<std::string, Rect> areas; // an area that is missing is not shown
};

struct Layout {
    int number = 0;
    std::vector<Geometry> tables; // the first one is the 800 x 600 base
};

Layout readLayout(const fs::path& path)
{
    Layout layout;
    const std::string stem = path.stem().string();
    layout.number = toInt(stem.substr(1), path.string());
    std::istringstream in(readText(path));
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        std::istringstream words(line);
        std::string name;
        words >> name;
        const std::string where = path.string() + ":" + std::to_string(lineNumber);
        if (name == "page") {
            Geometry table;
            if (!(words >> table.width >> table.height))
                fail("page needs a width and a height at " + where);
            layout.tables.push_back(table);
            continue;
        }
        if (std::find(kAreas.begin(), kAreas.end(), name) == kAreas.end())
            fail("unknown area \"" + name + "\" at " + where);
        if (layout.tables.empty())
            fail("area before the first page line at " + where);
        Rect rect;
        if (!(words >> rect.l >> rect.t >> rect.w >> rect.h))
            fail("area needs left, top, width and height at " + where);
        auto& table = layout.tables.back();
        if (rect.l < 0 || rect.t < 0 || rect.w <= 0 || rect.h <= 0 || rect.l + rect.w > table.width
            || rect.t + rect.h > table.height)
            fail("area outside the page at " + where);
        table.areas[name] = rect;
    }
    if (layout.tables.empty())
        fail("no page table in " + path.string());
    return layout;
}

// The geometry for a page `width` wide: its own table when the layout has
// one, else the base table scaled to a page of the base's proportions.
Geometry geometryFor(const Layout& layout, int width)
{
    for (const auto& table : layout.tables)
        if (table.width == width)
            return table;
    const Geometry& base = layout.tables.front();
    Geometry scaled;
    scaled.width = width;
    scaled.height = static_cast<int>(std::lround(double(width) * base.height / base.width));
    const double factor = double(width) / base.width;
    for (const auto& [name, r] : base.areas) {
        const auto at = [&](int v) { return static_cast<int>(std::lround(v * factor)); };
        // Right and bottom edges are scaled too, so neighbouring areas keep
        // their common edges.
        scaled.areas[name] = {at(r.l), at(r.t), at(r.l + r.w) - at(r.l), at(r.t + r.h) - at(r.t)};
    }
    return scaled;
}

// --- Styles ---------------------------------------------------------------------

using Section = std::map<std::string, std::string>;
using IniData = std::map<std::string, Section>;

IniData readIni(const fs::path& path)
{
    IniData data;
    std::istringstream in(readText(path));
    std::string line, section;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            fail("line without \"=\" in " + path.string() + ": " + line);
        data[section][trim(line.substr(0, equals))] = trim(line.substr(equals + 1));
    }
    return data;
}

struct Style {
    fs::path source;
    std::string folder;      // "Style0", "stylec1", "Special/Style0"
    std::string description;
    std::string supportSize; // written verbatim into info.ini
    std::vector<int> sizes;
    std::vector<int> layouts;
    bool custom = false;
    Section palette;
    std::string page;

    QColor colour(const std::string& key, const char* fallback) const
    {
        const auto it = palette.find(key);
        const std::string value = it == palette.end() ? fallback : it->second;
        if (value == "none")
            return {};
        const QColor c(QString::fromStdString(value));
        if (!c.isValid())
            fail("bad colour \"" + value + "\" for " + key + " in " + source.string());
        return c;
    }
    std::string text(const std::string& key, const char* fallback) const
    {
        const auto it = palette.find(key);
        return it == palette.end() ? fallback : it->second;
    }
    int number(const std::string& key, int fallback) const
    {
        const auto it = palette.find(key);
        return it == palette.end() ? fallback : toInt(it->second, source.string());
    }
};

Style readStyle(const fs::path& folder)
{
    Style style;
    style.source = folder / "style.ini";
    IniData ini = readIni(style.source);
    Section& info = ini["Style"];
    style.folder = info["Folder"];
    style.description = info["Description"];
    style.supportSize = info["SupportSize"];
    if (style.folder.empty() || style.description.empty() || style.supportSize.empty())
        fail("Folder, Description and SupportSize are needed in " + style.source.string());
    for (const auto& size : splitList(style.supportSize, ','))
        style.sizes.push_back(toInt(size, style.source.string()));
    for (const auto& layout : splitList(info["Layouts"], ','))
        style.layouts.push_back(toInt(layout, style.source.string()));
    if (style.layouts.empty())
        fail("no Layouts in " + style.source.string());
    const std::string leaf = fs::path(style.folder).filename().string();
    style.custom = leaf.rfind("stylec", 0) == 0;
    // A custom style's resolution key carries its whole size list, which
    // names one folder: it can only offer one size.
    if ((style.custom || style.folder.rfind("Special/", 0) == 0) && style.sizes.size() != 1)
        fail("a custom or special style offers exactly one size: " + style.source.string());
    style.palette = ini["Preview"];
    style.page = readText(folder / "page.htm");
    return style;
}

// --- Page expansion ---------------------------------------------------------------

std::string expandIncludes(const std::string& text, const fs::path& sourceFolder, int depth = 0)
{
    if (depth > 4)
        fail("includes nested too deeply");
    std::string out;
    std::size_t pos = 0;
    const std::string open = "{{include:";
    for (;;) {
        const auto at = text.find(open, pos);
        if (at == std::string::npos)
            break;
        const auto end = text.find("}}", at);
        if (end == std::string::npos)
            fail("unclosed include");
        out += text.substr(pos, at - pos);
        const std::string name = text.substr(at + open.size(), end - at - open.size());
        out += expandIncludes(readText(sourceFolder / name), sourceFolder, depth + 1);
        pos = end + 2;
    }
    return out + text.substr(pos);
}

std::string expandPage(const std::string& source, const Geometry& geometry, const std::string& where)
{
    std::map<std::string, std::string> values;
    values["page.w"] = std::to_string(geometry.width);
    values["page.h"] = std::to_string(geometry.height);
    for (const auto& area : kAreas) {
        const auto it = geometry.areas.find(area);
        const Rect r = it == geometry.areas.end() ? Rect{} : it->second;
        values[area + ".l"] = std::to_string(r.l);
        values[area + ".t"] = std::to_string(r.t);
        values[area + ".w"] = std::to_string(r.w);
        values[area + ".h"] = std::to_string(r.h);
        values[area + ".r"] = std::to_string(r.l + r.w);
        values[area + ".b"] = std::to_string(r.t + r.h);
        values[area + ".hide"] = it == geometry.areas.end() ? " display:none;" : "";
    }
    const double scale = std::min(geometry.width / 800.0, geometry.height / 600.0);

    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto at = source.find("{{", pos);
        if (at == std::string::npos)
            break;
        const auto end = source.find("}}", at);
        if (end == std::string::npos)
            fail("unclosed placeholder in " + where);
        out += source.substr(pos, at - pos);
        const std::string key = source.substr(at + 2, end - at - 2);
        if (key.rfind("s:", 0) == 0) {
            const int length = toInt(key.substr(2), where);
            out += std::to_string(std::max(1L, std::lround(length * scale)));
        } else if (const auto it = values.find(key); it != values.end()) {
            out += it->second;
        } else {
            fail("unknown placeholder {{" + key + "}} in " + where);
        }
        pos = end + 2;
    }
    return out + source.substr(pos);
}

// --- Pictures -----------------------------------------------------------------------

struct Paint {
    QColor background1, background2, headingBand, headingPanel, heading, headingRule;
    QColor subTopic, subTopicPanel, panel, panelLine, mediaMat, sky, hill, sun;
    QColor talkerBack, talkerFigure, talkerBorder, controlsPanel, accent, accentIcon, counter;
    QString headingFont, bodyFont;
    bool headingBold = false;
    int radius = 8;
};

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
    p.counter = s.colour("Counter", "#20303c");
    p.headingFont = QString::fromStdString(s.text("HeadingFont", "DejaVu Sans"));
    p.bodyFont = QString::fromStdString(s.text("BodyFont", "DejaVu Sans"));
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
    p.counter = QColor("#3d4b57");
    p.headingFont = p.bodyFont = "DejaVu Sans";
    p.headingBold = true;
    p.radius = 10;
    return p;
}

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

// Draws a sketch of a page with the given geometry: what the style
// previews, the style thumbnails and the layout thumbnails show. With
// `maskMode` the page background is pure white and nothing else is: the
// mask of a custom style, where white lets the user's background through.
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
            painter.fillRect(QRectF(0, 0, g.width, box.bottom() + box.top() * 0.5), p.headingBand);
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

// Picture sizes: style and layout thumbnails, and the style preview.
constexpr int kThumbWidth = 120;
constexpr int kPreviewWidth = 400;

QSize sizeFor(const Geometry& g, int width)
{
    return QSize(width, static_cast<int>(std::lround(double(width) * g.height / g.width)));
}

// --- The library ----------------------------------------------------------------------

void buildLayout(const Layout& layout, const Outputs& out)
{
    const Geometry& base = layout.tables.front();
    const std::string name = "Layout/L" + std::to_string(layout.number) + ".jpg";
    out.writeImage(name, drawPage(base, wireframePaint(), sizeFor(base, kThumbWidth), false), "JPG");
}

void buildStyle(const Style& style, const std::map<int, Layout>& layouts, const fs::path& sourceFolder,
                const Outputs& out)
{
    const Paint paint = paintOf(style);
    const std::string pageSource = expandIncludes(style.page, sourceFolder);
    const std::string folder = style.folder + "/";

    std::ostringstream info;
    info << "[Style]\r\nDescription=" << style.description << "\r\nSupportSize=" << style.supportSize << "\r\n";

    bool first = true;
    for (int number : style.layouts) {
        const auto it = layouts.find(number);
        if (it == layouts.end())
            fail(style.folder + " names layout " + std::to_string(number) + ", which has no geometry table");
        const Layout& layout = it->second;
        // The pictures show the page in its first size.
        const Geometry shown = geometryFor(layout, style.sizes.front());
        const std::string layoutFolder = folder + "L" + std::to_string(number) + "/";
        const QSize previewSize = sizeFor(shown, kPreviewWidth);
        out.writeImage(layoutFolder + "Preview.jpg", drawPage(shown, paint, previewSize, false), "JPG");
        if (style.custom) {
            out.writeImage(layoutFolder + "Preview_mask.bmp",
                           drawPage(shown, paint, previewSize, true).convertToFormat(QImage::Format_RGB888), "BMP");
            if (first) // the page fills the whole preview
                info << "Area=0,0," << previewSize.width() << "," << previewSize.height() << "\r\n";
        }
        if (first)
            out.writeImage(folder + "ui.jpg", drawPage(shown, paint, sizeFor(shown, kThumbWidth), false), "JPG");
        first = false;
        for (int size : style.sizes) {
            const std::string where = style.folder + " L" + std::to_string(number) + " " + std::to_string(size);
            out.write(layoutFolder + std::to_string(size) + "/Template.htm",
                      expandPage(pageSource, geometryFor(layout, size), where));
        }
    }
    out.write(folder + "info.ini", info.str());
}

// Removes what an earlier run made (style folders and layout thumbnails),
// so a style or layout taken out of the sources leaves nothing behind. The
// hand-written files beside them are not touched.
void clearGenerated(const fs::path& root)
{
    std::vector<fs::path> made;
    if (fs::is_directory(root))
        for (const auto& entry : fs::directory_iterator(root)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_directory()
                && (name.rfind("Style", 0) == 0 || name.rfind("stylec", 0) == 0 || name == "Special"))
                made.push_back(entry.path());
        }
    if (fs::is_directory(root / "Layout"))
        for (const auto& entry : fs::directory_iterator(root / "Layout"))
            if (entry.path().extension() == ".jpg")
                made.push_back(entry.path());
    for (const auto& path : made)
        fs::remove_all(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_templates SOURCE-FOLDER TEMPLATE-FOLDER...\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const fs::path source = argv[1];
    std::vector<fs::path> roots;
    for (int i = 2; i < argc; ++i)
        roots.emplace_back(argv[i]);
    for (const auto& root : roots)
        clearGenerated(root);
    const Outputs out(roots);

    std::map<int, Layout> layouts;
    for (const auto& entry : fs::directory_iterator(source / "layouts"))
        if (entry.path().extension() == ".geo") {
            Layout layout = readLayout(entry.path());
            layouts[layout.number] = std::move(layout);
        }
    if (layouts.empty())
        fail("no layouts in " + (source / "layouts").string());
    for (const auto& [number, layout] : layouts)
        buildLayout(layout, out);

    std::vector<fs::path> styleFolders;
    for (const auto& entry : fs::directory_iterator(source / "styles"))
        if (entry.is_directory())
            styleFolders.push_back(entry.path());
    std::sort(styleFolders.begin(), styleFolders.end());
    for (const auto& folder : styleFolders)
        buildStyle(readStyle(folder), layouts, source, out);
    return 0;
}
