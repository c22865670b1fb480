// Draws the default talking image: a warm, friendly cartoon face whose mouth
// region is left as plain skin, since the player paints the mouth. Writes it
// as "default_tjm.tjm" to every path given.
//   facegen OUTPUT.tjm [OUTPUT.tjm...]
//   facegen --preview SHEET.png   (the face in several mouth and lid states)
#include "voice/FaceRig.h"
#include "voice/TjmFile.h"
#include "voice/painting/FacePainter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <string>

namespace {

using pavonia::TjmRig;

constexpr int kSize = 512;

QColor rgb(std::uint32_t c) { return QColor((c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff); }

TjmRig faceRig()
{
    TjmRig rig;
    rig.faceWidth = kSize;
    rig.faceHeight = kSize;
    rig.mouthX = 256;
    rig.mouthY = 384;
    rig.mouthWidth = 92;
    rig.mouthOpenHeight = 56;
    rig.lipThickness = 10;
    rig.leftEyeX = 196;
    rig.leftEyeY = 262;
    rig.rightEyeX = 316;
    rig.rightEyeY = 262;
    rig.eyeWidth = 64;
    rig.eyeHeight = 44;
    rig.blinkEveryMs = 3800;
    rig.blinkMs = 170;
    rig.upperLipColor = 0xC0605A;
    rig.lowerLipColor = 0xD2746C;
    rig.mouthColor = 0x4A1A1E;
    rig.teethColor = 0xFAF6EE;
    rig.tongueColor = 0xD0646C;
    rig.skinColor = 0xF7CFAD;
    rig.lashColor = 0x3A2418;
    return rig;
}

void drawEye(QPainter& p, QPointF c, double w, double h)
{
    QPainterPath white;
    white.moveTo(c.x() - w / 2, c.y() + 2);
    white.cubicTo(c.x() - w * 0.3, c.y() - h * 0.62, c.x() + w * 0.3, c.y() - h * 0.62, c.x() + w / 2, c.y() + 1);
    white.cubicTo(c.x() + w * 0.3, c.y() + h * 0.56, c.x() - w * 0.3, c.y() + h * 0.56, c.x() - w / 2, c.y() + 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFD, 0xF8));
    p.drawPath(white);

    p.save();
    p.setClipPath(white);
    const QPointF iris = c + QPointF(0, 1.5);
    QRadialGradient irisShade(iris, 18);
    irisShade.setColorAt(0.0, QColor(0x7A, 0x52, 0x2E));
    irisShade.setColorAt(0.7, QColor(0x5A, 0x3A, 0x1E));
    irisShade.setColorAt(1.0, QColor(0x3A, 0x24, 0x12));
    p.setBrush(irisShade);
    p.drawEllipse(iris, 17.5, 17.5);
    p.setBrush(QColor(0x1A, 0x10, 0x0A));
    p.drawEllipse(iris, 8.5, 8.5);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(iris + QPointF(-5.5, -6.5), 5.0, 5.0);
    p.setBrush(QColor(255, 255, 255, 180));
    p.drawEllipse(iris + QPointF(6.0, 5.0), 2.4, 2.4);
    // The upper lid's shadow on the eyeball.
    QLinearGradient shadow(QPointF(c.x(), c.y() - h / 2), QPointF(c.x(), c.y() - h * 0.1));
    shadow.setColorAt(0.0, QColor(90, 50, 30, 70));
    shadow.setColorAt(1.0, QColor(90, 50, 30, 0));
    p.fillPath(white, shadow);
    p.restore();

    // Lash line along the top, a softer one below.
    QPainterPath upper;
    upper.moveTo(c.x() - w / 2 - 3, c.y() + 3);
    upper.cubicTo(c.x() - w * 0.3, c.y() - h * 0.64, c.x() + w * 0.3, c.y() - h * 0.64, c.x() + w / 2 + 4, c.y());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x3A, 0x24, 0x18), 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(upper);
    QPainterPath lower;
    lower.moveTo(c.x() - w * 0.42, c.y() + h * 0.2);
    lower.cubicTo(c.x() - w * 0.2, c.y() + h * 0.5, c.x() + w * 0.2, c.y() + h * 0.5, c.x() + w * 0.44, c.y() + h * 0.16);
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x40, 110), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(lower);
}

QImage drawFace(const TjmRig& rig)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, kSize);
    sky.setColorAt(0.0, QColor(0xFF, 0xEE, 0xD2));
    sky.setColorAt(1.0, QColor(0xF6, 0xD2, 0xA6));
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(QPointF(256, 230), 300);
    glow.setColorAt(0.0, QColor(255, 255, 255, 120));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);

    const QColor skin = rgb(rig.skinColor);
    const QColor skinShade(0xE6, 0xA8, 0x80);
    const QColor hair(0x5A, 0x36, 0x22);

    // Hair behind the head.
    p.setPen(Qt::NoPen);
    p.setBrush(hair);
    QPainterPath back;
    back.moveTo(92, 330);
    back.cubicTo(60, 170, 150, 72, 256, 70);
    back.cubicTo(362, 72, 452, 170, 420, 330);
    back.lineTo(400, 400);
    back.lineTo(112, 400);
    back.closeSubpath();
    p.drawPath(back);

    // Shoulders in a teal jumper, and the neck.
    QPainterPath body;
    body.moveTo(30, kSize);
    body.cubicTo(40, 470, 110, 445, 200, 438);
    body.lineTo(312, 438);
    body.cubicTo(402, 445, 472, 470, 482, kSize);
    body.closeSubpath();
    QLinearGradient jumper(0, 430, 0, kSize);
    jumper.setColorAt(0.0, QColor(0x3E, 0x9C, 0x9A));
    jumper.setColorAt(1.0, QColor(0x2C, 0x7A, 0x7A));
    p.setBrush(jumper);
    p.drawPath(body);
    p.setBrush(skinShade);
    p.drawRoundedRect(QRectF(212, 400, 88, 56), 20, 20);
    QPainterPath collar;
    collar.moveTo(200, 440);
    collar.quadTo(256, 482, 312, 440);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x24, 0x66, 0x66), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(collar);
    p.setPen(Qt::NoPen);

    // Ears.
    for (double x : {104.0, 408.0}) {
        p.setBrush(skin);
        p.drawEllipse(QPointF(x, 292), 24, 36);
        p.setBrush(skinShade);
        p.drawEllipse(QPointF(x + (x < 256 ? 4 : -4), 294), 11, 20);
    }

    // The head: an egg shape, broad at the cheeks.
    QPainterPath head;
    head.moveTo(256, 104);
    head.cubicTo(352, 104, 412, 180, 410, 280);
    head.cubicTo(408, 380, 340, 458, 256, 458);
    head.cubicTo(172, 458, 104, 380, 102, 280);
    head.cubicTo(100, 180, 160, 104, 256, 104);
    QRadialGradient face(QPointF(256, 270), 230);
    face.setColorAt(0.0, skin);
    face.setColorAt(0.5, skin);
    face.setColorAt(1.0, skinShade);
    p.setBrush(face);
    p.drawPath(head);

    // Rosy cheeks.
    for (double x : {168.0, 344.0}) {
        QRadialGradient blush(QPointF(x, 338), 40);
        blush.setColorAt(0.0, QColor(0xF4, 0x84, 0x78, 90));
        blush.setColorAt(1.0, QColor(0xF4, 0x84, 0x78, 0));
        p.setBrush(blush);
        p.drawEllipse(QPointF(x, 338), 40, 40);
    }

    // Fringe: hair over the forehead, falling in two soft waves.
    QPainterPath fringe;
    fringe.moveTo(98, 280);
    fringe.cubicTo(82, 150, 170, 88, 262, 90);
    fringe.cubicTo(360, 92, 432, 160, 414, 282);
    fringe.cubicTo(404, 230, 384, 196, 352, 178);
    fringe.cubicTo(320, 196, 270, 196, 244, 164);
    fringe.cubicTo(214, 196, 160, 200, 136, 192);
    fringe.cubicTo(116, 214, 104, 244, 98, 280);
    QLinearGradient hairShade(0, 80, 0, 280);
    hairShade.setColorAt(0.0, hair.lighter(118));
    hairShade.setColorAt(1.0, hair);
    p.setBrush(hairShade);
    p.drawPath(fringe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 45), 6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath sheen;
    sheen.moveTo(170, 128);
    sheen.quadTo(230, 104, 300, 118);
    p.drawPath(sheen);

    // Eyebrows, raised a little for a friendly look.
    p.setPen(QPen(QColor(0x4A, 0x2C, 0x1A), 9, Qt::SolidLine, Qt::RoundCap));
    for (int side : {-1, 1}) {
        const double x = side < 0 ? rig.leftEyeX : rig.rightEyeX;
        QPainterPath brow;
        brow.moveTo(x - side * 30, 216);
        brow.quadTo(x - side * 4, 196, x + side * 32, 210);
        p.drawPath(brow);
    }

    drawEye(p, QPointF(rig.leftEyeX, rig.leftEyeY), rig.eyeWidth, rig.eyeHeight);
    drawEye(p, QPointF(rig.rightEyeX, rig.rightEyeY), rig.eyeWidth, rig.eyeHeight);

    // A small rounded nose.
    p.setPen(Qt::NoPen);
    QRadialGradient tip(QPointF(256, 326), 22);
    tip.setColorAt(0.0, QColor(255, 255, 255, 50));
    tip.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(tip);
    p.drawEllipse(QPointF(256, 326), 22, 18);
    QPainterPath nose;
    nose.moveTo(240, 330);
    nose.cubicTo(236, 344, 250, 348, 256, 344);
    nose.cubicTo(262, 348, 276, 344, 272, 330);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xC0, 0x80, 0x60, 170), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(nose);

    // A soft chin shadow well below the mouth.
    QRadialGradient chin(QPointF(256, 444), 40);
    chin.setColorAt(0.0, QColor(0xD8, 0x98, 0x70, 60));
    chin.setColorAt(1.0, QColor(0xD8, 0x98, 0x70, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(chin);
    p.drawEllipse(QPointF(256, 444), 40, 14);
    return image;
}

std::string pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The face in the mouth and lid states of a few sample frames, side by side.
bool writePreview(const QImage& face, const TjmRig& rig, const char* path)
{
    using pavonia::LipSyncFrame;
    struct State {
        LipSyncFrame frame;
        double lids;
    };
    const State states[] = {
        {{0, 50, 0, 0, 0, 0}, 0.0},     {{95, 60, 0, 40, 80, 1}, 0.0}, {{55, 75, 0, 60, 60, 2}, 0.0},
        {{25, 95, 0, 80, 50, 3}, 0.0},  {{60, 20, 95, 10, 60, 4}, 0.0}, {{0, 45, 10, 0, 30, 5}, 0.0},
        {{15, 65, 0, 90, 40, 6}, 0.0},  {{30, 55, 10, 20, 40, 7}, 0.5}, {{0, 50, 0, 0, 0, 0}, 1.0},
    };
    const int cell = 320;
    QImage sheet(cell * 3, cell * 3, QImage::Format_RGB32);
    QPainter p(&sheet);
    for (int i = 0; i < 9; ++i) {
        p.save();
        p.translate((i % 3) * cell, (i / 3) * cell);
        p.scale(double(cell) / kSize, double(cell) / kSize);
        p.drawImage(0, 0, face);
        pavonia::paintMouth(p, rig, pavonia::mouthPoseFor(states[i].frame, rig, 99));
        pavonia::paintEyelids(p, rig, states[i].lids);
        p.restore();
    }
    p.end();
    return sheet.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: facegen OUTPUT.tjm... | facegen --preview SHEET.png\n");
        return 2;
    }
    const TjmRig rig = faceRig();
    const QImage face = drawFace(rig);
    if (std::string(argv[1]) == "--preview")
        return argc == 3 && writePreview(face, rig, argv[2]) ? 0 : 1;

    pavonia::TjmFile file;
    file.rig = rig;
    file.picture = pngBytes(face);
    for (int i = 1; i < argc; ++i) {
        if (const pavonia::Result<> written = pavonia::writeTjmFile(argv[i], file); !written) {
            std::fprintf(stderr, "facegen: %s\n", written.failure().text().c_str());
            return 1;
        }
    }
    return 0;
}
