// Draws the pictures the program needs from the desktop: its icon and the
// project files' icon in the sizes desktops ask for, and the placeholder
// pictures the editing pages show for clips ("rm_logo.bmp", "swf_logo.bmp",
// "wmv_logo.bmp", "mp4_logo.bmp", "webm_logo.bmp", 24-bit BMP files), the
// picture the image cache shows while it decodes ("loading.jpg") and the
// window's icon "pavonia.png".
//
// Usage: make_desktop_art ICON-FOLDER INSTALLATION-FOLDER...
// The icons go into ICON-FOLDER as hicolor/<n>x<n>/apps/pavonia.png and
// hicolor/<n>x<n>/mimetypes/application-x-pavonia-project.png; the clip
// pictures and the window's icon into each INSTALLATION-FOLDER.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

const QColor kTeal(0x77, 0x9C, 0xA0);
const QColor kDeepTeal(0x2E, 0x5E, 0x66);
const QColor kFeather(0xF2, 0xB1, 0x34);

// The program's mark on a square of side `size`: a speech bubble with a
// smiling mouth over a teal tile, the eye of a peacock feather behind it.
void drawMark(QPainter& p, double size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    QLinearGradient tile(0, 0, 0, size);
    tile.setColorAt(0, kTeal.lighter(115));
    tile.setColorAt(1, kDeepTeal);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 12 * s, 12 * s);

    // The feather's eye, upper right.
    p.setBrush(kFeather);
    p.drawEllipse(QPointF(44 * s, 20 * s), 13 * s, 13 * s);
    p.setBrush(QColor(0x1F, 0x6F, 0x8B));
    p.drawEllipse(QPointF(44 * s, 20 * s), 8 * s, 8 * s);
    p.setBrush(QColor(0x15, 0x2A, 0x4A));
    p.drawEllipse(QPointF(44 * s, 20 * s), 4 * s, 4 * s);

    // The speech bubble with its tail, lower left.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(8 * s, 24 * s, 38 * s, 26 * s), 9 * s, 9 * s);
    QPainterPath tail;
    tail.moveTo(14 * s, 46 * s);
    tail.lineTo(10 * s, 58 * s);
    tail.lineTo(24 * s, 48 * s);
    tail.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(bubble.united(tail));

    // The talking mouth.
    p.setBrush(QColor(0xC8, 0x3C, 0x3C));
    QPainterPath mouth;
    mouth.moveTo(17 * s, 35 * s);
    mouth.quadTo(27 * s, 48 * s, 37 * s, 35 * s);
    mouth.closeSubpath();
    p.drawPath(mouth);
}

// The project file: a page with a folded corner carrying the mark.
void drawProjectIcon(QPainter& p, double size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    QPainterPath page;
    page.moveTo(10 * s, 2 * s);
    page.lineTo(42 * s, 2 * s);
    page.lineTo(56 * s, 16 * s);
    page.lineTo(56 * s, 62 * s);
    page.lineTo(10 * s, 62 * s);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), std::max(1.0, s)));
    p.setBrush(QColor(0xFA, 0xFA, 0xF7));
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(42 * s, 2 * s);
    fold.lineTo(42 * s, 16 * s);
    fold.lineTo(56 * s, 16 * s);
    fold.closeSubpath();
    p.setBrush(QColor(0xDD, 0xDD, 0xD5));
    p.drawPath(fold);
    p.save();
    p.translate(14 * s, 22 * s);
    drawMark(p, 38 * s);
    p.restore();
}

bool saveIcon(const fs::path& file, int size, void (*draw)(QPainter&, double))
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        draw(p, size);
    }
    fs::create_directories(file.parent_path());
    return image.save(QString::fromStdString(file.string()), "PNG");
}

// A clip placeholder: a film strip with the clip kind's name.
QImage clipPicture(const QString& kind, const QColor& colour)
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor(0x30, 0x30, 0x30));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE8, 0xE8, 0xE8));
    for (int x = 6; x < 160; x += 16) {
        p.drawRect(x, 5, 8, 8);
        p.drawRect(x, 107, 8, 8);
    }
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(12, 22, 136, 76), 8, 8);
    p.setBrush(QColor(255, 255, 255, 220));
    QPainterPath play;
    play.moveTo(28, 42);
    play.lineTo(28, 78);
    play.lineTo(56, 60);
    play.closeSubpath();
    p.drawPath(play);
    QFont font;
    font.setPixelSize(30);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(60, 22, 84, 76), Qt::AlignCenter, kind);
    return image;
}

// What a preview frame shows while its picture is read: a ring of dots on
// the pages' dark grey, one of them lit.
QImage loadingPicture()
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor(0x40, 0x3C, 0x20).lighter(130));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        const double angle = i * 3.14159265358979 / 4;
        p.setBrush(i == 0 ? kFeather : QColor(0xD8, 0xD4, 0xC0));
        p.drawEllipse(QPointF(80 + 26 * std::cos(angle), 60 + 26 * std::sin(angle)), 6, 6);
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_desktop_art ICON-FOLDER INSTALLATION-FOLDER...\n");
        return 2;
    }
    const fs::path icons = fs::path(argv[1]) / "hicolor";
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        if (!saveIcon(icons / folder / "apps" / "pavonia.png", size, drawMark) ||
            !saveIcon(icons / folder / "mimetypes" / "application-x-pavonia-project.png", size, drawProjectIcon)) {
            std::fprintf(stderr, "cannot write the icons into %s\n", icons.string().c_str());
            return 1;
        }
    }
    const struct {
        const char* file;
        const char* kind;
        QColor colour;
    } clips[] = {
        {"rm_logo.bmp", "RM", QColor(0x2B, 0x4C, 0x9B)},
        {"swf_logo.bmp", "SWF", QColor(0xB0, 0x3A, 0x2E)},
        {"wmv_logo.bmp", "WMV", QColor(0x2E, 0x7D, 0x32)},
        {"mp4_logo.bmp", "MP4", QColor(0x6A, 0x3D, 0x9A)},
        {"webm_logo.bmp", "WEBM", QColor(0x00, 0x6D, 0x77)},
    };
    for (int i = 2; i < argc; ++i) {
        fs::create_directories(argv[i]);
        const fs::path loading = fs::path(argv[i]) / "loading.jpg";
        if (!loadingPicture().save(QString::fromStdString(loading.string()), "JPG", 90)) {
            std::fprintf(stderr, "cannot write %s\n", loading.string().c_str());
            return 1;
        }
        // The window's own icon, read from the installation.
        if (!saveIcon(fs::path(argv[i]) / "pavonia.png", 256, drawMark)) {
            std::fprintf(stderr, "cannot write the icon into %s\n", argv[i]);
            return 1;
        }
        for (const auto& clip : clips) {
            const fs::path file = fs::path(argv[i]) / clip.file;
            // 24 bits per pixel: the picture readers take no alpha channel.
            if (!clipPicture(clip.kind, clip.colour).convertToFormat(QImage::Format_RGB888)
                     .save(QString::fromStdString(file.string()), "BMP")) {
                std::fprintf(stderr, "cannot write %s\n", file.string().c_str());
                return 1;
            }
        }
    }
    return 0;
}
