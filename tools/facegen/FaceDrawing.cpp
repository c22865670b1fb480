#include "FaceDrawing.h"

#include <QBuffer>
#include <QByteArray>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace pavonia::facegen {

namespace {

std::uint32_t rgbValue(const QColor& c) { return std::uint32_t(c.red() << 16 | c.green() << 8 | c.blue()); }

void drawEye(QPainter& p, QPointF c, double w, double h, const QColor& irisColour)
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
    irisShade.setColorAt(0.0, irisColour.lighter(135));
    irisShade.setColorAt(0.7, irisColour);
    irisShade.setColorAt(1.0, irisColour.darker(155));
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

// The hair that lies behind the head.
void drawBackHair(QPainter& p, const FaceLook& look)
{
    QPainterPath back;
    switch (look.hairStyle) {
    case HairStyle::Long:
        back.moveTo(92, 330);
        back.cubicTo(60, 170, 150, 72, 256, 70);
        back.cubicTo(362, 72, 452, 170, 420, 330);
        back.lineTo(400, 400);
        back.lineTo(112, 400);
        back.closeSubpath();
        break;
    case HairStyle::Bob:
        back.moveTo(84, 352);
        back.cubicTo(56, 170, 150, 70, 256, 68);
        back.cubicTo(362, 70, 456, 170, 428, 352);
        back.quadTo(380, 372, 330, 352);
        back.lineTo(182, 352);
        back.quadTo(132, 372, 84, 352);
        back.closeSubpath();
        break;
    case HairStyle::Short:
        back.moveTo(100, 270);
        back.cubicTo(84, 160, 160, 84, 256, 82);
        back.cubicTo(352, 84, 428, 160, 412, 270);
        back.closeSubpath();
        break;
    case HairStyle::Bald:
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(look.hair);
    p.drawPath(back);
}

// The hair over the forehead.
void drawFringe(QPainter& p, const FaceLook& look)
{
    QPainterPath fringe;
    switch (look.hairStyle) {
    case HairStyle::Long:
    case HairStyle::Bob:
        // Falling in two soft waves.
        fringe.moveTo(98, 280);
        fringe.cubicTo(82, 150, 170, 88, 262, 90);
        fringe.cubicTo(360, 92, 432, 160, 414, 282);
        fringe.cubicTo(404, 230, 384, 196, 352, 178);
        fringe.cubicTo(320, 196, 270, 196, 244, 164);
        fringe.cubicTo(214, 196, 160, 200, 136, 192);
        fringe.cubicTo(116, 214, 104, 244, 98, 280);
        break;
    case HairStyle::Short:
        // Cropped close, with a side parting.
        fringe.moveTo(104, 250);
        fringe.cubicTo(96, 150, 170, 94, 258, 94);
        fringe.cubicTo(350, 94, 420, 150, 408, 250);
        fringe.cubicTo(398, 200, 372, 168, 330, 156);
        fringe.cubicTo(280, 170, 210, 150, 190, 136);
        fringe.cubicTo(150, 160, 116, 196, 104, 250);
        break;
    case HairStyle::Bald:
        // A little hair above the ears.
        for (int side : {-1, 1}) {
            QPainterPath tuft;
            const double x = 256 + side * 150;
            tuft.moveTo(x, 300);
            tuft.cubicTo(x - side * 4, 250, x - side * 14, 210, x - side * 40, 180);
            tuft.cubicTo(x - side * 30, 220, x - side * 26, 260, x - side * 22, 300);
            tuft.closeSubpath();
            fringe.addPath(tuft);
        }
        break;
    }
    QLinearGradient hairShade(0, 80, 0, 280);
    hairShade.setColorAt(0.0, look.hair.lighter(118));
    hairShade.setColorAt(1.0, look.hair);
    p.setPen(Qt::NoPen);
    p.setBrush(hairShade);
    p.drawPath(fringe);
    if (look.hairStyle == HairStyle::Bald) {
        // A shine on the crown instead.
        QRadialGradient shine(QPointF(220, 150), 60);
        shine.setColorAt(0.0, QColor(255, 255, 255, 70));
        shine.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(shine);
        p.drawEllipse(QPointF(220, 150), 60, 36);
        return;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 45), 6, Qt::SolidLine, Qt::RoundCap));
    QPainterPath sheen;
    sheen.moveTo(170, 128);
    sheen.quadTo(230, 104, 300, 118);
    p.drawPath(sheen);
}

void drawGlasses(QPainter& p, const TjmRig& rig)
{
    p.setBrush(QColor(255, 255, 255, 28));
    p.setPen(QPen(QColor(0x2A, 0x2A, 0x34), 6));
    for (double x : {double(rig.leftEyeX), double(rig.rightEyeX)})
        p.drawRoundedRect(QRectF(x - 46, rig.leftEyeY - 36, 92, 70), 22, 22);
    p.setBrush(Qt::NoBrush);
    QPainterPath bridge;
    bridge.moveTo(rig.leftEyeX + 46, rig.leftEyeY - 6);
    bridge.quadTo(256, rig.leftEyeY - 22, rig.rightEyeX - 46, rig.rightEyeY - 6);
    p.drawPath(bridge);
    p.drawLine(QPointF(rig.leftEyeX - 46, rig.leftEyeY - 10), QPointF(106, rig.leftEyeY - 2));
    p.drawLine(QPointF(rig.rightEyeX + 46, rig.rightEyeY - 10), QPointF(406, rig.rightEyeY - 2));
}

// A short beard along the jaw that leaves the mouth region free.
void drawBeard(QPainter& p, const FaceLook& look, const TjmRig& rig)
{
    const double below = rig.mouthY + rig.mouthOpenHeight * 0.7;
    QPainterPath beard;
    beard.moveTo(112, 330);
    beard.cubicTo(120, 420, 190, 462, 256, 462);
    beard.cubicTo(322, 462, 392, 420, 400, 330);
    beard.cubicTo(384, 380, 340, 400, 320, below);
    beard.quadTo(256, below + 22, 192, below);
    beard.cubicTo(172, 400, 128, 380, 112, 330);
    QColor colour = look.hair;
    colour.setAlpha(225);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(beard);
}

} // namespace

TjmRig faceRig(const FaceLook& look)
{
    TjmRig rig;
    rig.faceWidth = kFaceSize;
    rig.faceHeight = kFaceSize;
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
    rig.upperLipColor = rgbValue(look.lips);
    rig.lowerLipColor = rgbValue(look.lips.lighter(110));
    rig.mouthColor = 0x4A1A1E;
    rig.teethColor = 0xFAF6EE;
    rig.tongueColor = 0xD0646C;
    rig.skinColor = rgbValue(look.skin);
    rig.lashColor = 0x3A2418;
    return rig;
}

QImage drawFace(const FaceLook& look)
{
    const TjmRig rig = faceRig(look);
    QImage image(kFaceSize, kFaceSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, kFaceSize);
    sky.setColorAt(0.0, look.backgroundTop);
    sky.setColorAt(1.0, look.backgroundBottom);
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(QPointF(256, 230), 300);
    glow.setColorAt(0.0, QColor(255, 255, 255, 120));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);

    const QColor& skin = look.skin;
    const QColor& skinShade = look.skinShade;

    drawBackHair(p, look);

    // Shoulders in a jumper, and the neck.
    p.setPen(Qt::NoPen);
    QPainterPath body;
    body.moveTo(30, kFaceSize);
    body.cubicTo(40, 470, 110, 445, 200, 438);
    body.lineTo(312, 438);
    body.cubicTo(402, 445, 472, 470, 482, kFaceSize);
    body.closeSubpath();
    QLinearGradient jumper(0, 430, 0, kFaceSize);
    jumper.setColorAt(0.0, look.jumper);
    jumper.setColorAt(1.0, look.jumper.darker(128));
    p.setBrush(jumper);
    p.drawPath(body);
    p.setBrush(skinShade);
    p.drawRoundedRect(QRectF(212, 400, 88, 56), 20, 20);
    QPainterPath collar;
    collar.moveTo(200, 440);
    collar.quadTo(256, 482, 312, 440);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.jumper.darker(150), 7, Qt::SolidLine, Qt::RoundCap));
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

    drawFringe(p, look);

    // Eyebrows, raised a little for a friendly look.
    p.setPen(QPen(look.hairStyle == HairStyle::Bald ? QColor(0x4A, 0x2C, 0x1A) : look.hair.darker(125), 9,
                  Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int side : {-1, 1}) {
        const double x = side < 0 ? rig.leftEyeX : rig.rightEyeX;
        QPainterPath brow;
        brow.moveTo(x - side * 30, 216);
        brow.quadTo(x - side * 4, 196, x + side * 32, 210);
        p.drawPath(brow);
    }

    drawEye(p, QPointF(rig.leftEyeX, rig.leftEyeY), rig.eyeWidth, rig.eyeHeight, look.iris);
    drawEye(p, QPointF(rig.rightEyeX, rig.rightEyeY), rig.eyeWidth, rig.eyeHeight, look.iris);
    if (look.glasses)
        drawGlasses(p, rig);

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
    QColor noseLine = skinShade.darker(125);
    noseLine.setAlpha(170);
    p.setPen(QPen(noseLine, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(nose);

    if (look.beard) {
        drawBeard(p, look, rig);
    } else {
        // A soft chin shadow well below the mouth.
        QRadialGradient chin(QPointF(256, 444), 40);
        chin.setColorAt(0.0, QColor(0xD8, 0x98, 0x70, 60));
        chin.setColorAt(1.0, QColor(0xD8, 0x98, 0x70, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(chin);
        p.drawEllipse(QPointF(256, 444), 40, 14);
    }
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

TjmFile talkingImage(const FaceLook& look)
{
    TjmFile file;
    file.rig = faceRig(look);
    file.picture = pngBytes(drawFace(look));
    return file;
}

} // namespace pavonia::facegen
