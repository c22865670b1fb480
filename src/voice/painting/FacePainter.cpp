#include "voice/painting/FacePainter.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace pavonia {

namespace {

QColor color(std::uint32_t rgb) { return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff); }

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// A symmetric curve from one mouth corner to the other whose middle lies at
// `middleY`; `spread` moves the control points towards the corners, which
// squares the curve off (a rounder opening).
struct Curve {
    QPointF from, c1, c2, to;
};

Curve cornerCurve(const QPointF& left, const QPointF& right, double centerX, double middleY, double spread)
{
    // The middle of a symmetric cubic lies 3/4 of the way from the corners'
    // height to the control points' height.
    const double controlY = (middleY - 0.25 * left.y()) / 0.75;
    return {left, {centerX - spread, controlY}, {centerX + spread, controlY}, right};
}

void appendForward(QPainterPath& path, const Curve& c) { path.cubicTo(c.c1, c.c2, c.to); }
void appendBackward(QPainterPath& path, const Curve& c) { path.cubicTo(c.c2, c.c1, c.from); }

// The outer edge of the upper lip: up from the left corner to the two peaks
// of the bow, down into its dip, and back to the right corner.
void appendUpperLipOutline(QPainterPath& path, const MouthPose& p, const QPointF& left, const QPointF& right)
{
    const double cx = p.centerX;
    const double hw = p.halfWidth;
    const double th = p.lipThickness;
    const double base = p.centerY - p.upperLift;
    const double peakY = base - th * 1.05;
    const double dipY = base - th * (0.78 + 0.15 * p.round);
    const double peakX = hw * (0.22 - 0.06 * p.round);
    path.cubicTo(QPointF(cx - hw * 0.8, left.y() - th * 0.45), QPointF(cx - hw * 0.5, peakY),
                 QPointF(cx - peakX, peakY));
    path.quadTo(QPointF(cx - peakX * 0.35, dipY), QPointF(cx, dipY));
    path.quadTo(QPointF(cx + peakX * 0.35, dipY), QPointF(cx + peakX, peakY));
    path.cubicTo(QPointF(cx + hw * 0.5, peakY), QPointF(cx + hw * 0.8, right.y() - th * 0.45), right);
}

void paintOpening(QPainter& painter, const TjmRig& rig, const MouthPose& p, const QPainterPath& opening)
{
    const double cx = p.centerX;
    const double hw = p.halfWidth;
    const double top = p.centerY - p.upperLift;
    const double bottom = p.centerY + p.lowerDrop;
    const double height = bottom - top;
    painter.save();
    painter.setClipPath(opening, Qt::IntersectClip);
    const QColor inside = color(rig.mouthColor);
    QRadialGradient depth(QPointF(cx, top + height * 0.65), std::max(hw, 1.0));
    depth.setColorAt(0.0, inside.lighter(150));
    depth.setColorAt(1.0, inside);
    painter.fillPath(opening, depth);

    // Tongue, low in the mouth, seen once the jaw has dropped.
    if (height > p.lipThickness * 0.8) {
        const QColor tongue = color(rig.tongueColor);
        QRadialGradient shade(QPointF(cx, bottom - height * 0.05), hw * 0.8);
        shade.setColorAt(0.0, tongue.lighter(112));
        shade.setColorAt(1.0, tongue.darker(135));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawEllipse(QPointF(cx, bottom + height * 0.08), hw * 0.62, height * 0.42);
    }

    // Teeth: the upper row under the upper lip, the lower row when more show.
    if (p.teeth > 0.0) {
        const QColor teeth = color(rig.teethColor);
        const double upperHeight = std::min(height * 0.42, p.lipThickness * 1.5) * (0.45 + 0.55 * p.teeth);
        QLinearGradient enamel(QPointF(cx, top), QPointF(cx, top + upperHeight));
        enamel.setColorAt(0.0, teeth);
        enamel.setColorAt(1.0, teeth.darker(108));
        painter.setPen(Qt::NoPen);
        painter.setBrush(enamel);
        const QRectF upper(cx - hw * 0.78, top - p.lipThickness, hw * 1.56, upperHeight + p.lipThickness);
        painter.drawRoundedRect(upper, upperHeight * 0.35, upperHeight * 0.35);
        QPen gap(withAlpha(teeth.darker(125), 160), std::max(0.6, hw * 0.012));
        painter.setPen(gap);
        for (double f : {-0.5, -0.2, 0.0, 0.2, 0.5}) {
            const double x = cx + hw * f;
            painter.drawLine(QPointF(x, top), QPointF(x, top + upperHeight * (f == 0.0 ? 0.98 : 0.9)));
        }
        if (p.teeth > 0.4 && height > p.lipThickness) {
            const double lowerHeight = upperHeight * 0.55 * (p.teeth - 0.3);
            painter.setPen(Qt::NoPen);
            painter.setBrush(teeth.darker(104));
            painter.drawRoundedRect(QRectF(cx - hw * 0.6, bottom - lowerHeight, hw * 1.2, lowerHeight + p.lipThickness),
                                    lowerHeight * 0.3, lowerHeight * 0.3);
        }
    }
    // A soft shadow under the upper lip gives the opening depth.
    QLinearGradient shadow(QPointF(cx, top), QPointF(cx, top + height * 0.35));
    shadow.setColorAt(0.0, withAlpha(inside, 110));
    shadow.setColorAt(1.0, withAlpha(inside, 0));
    painter.fillPath(opening, shadow);
    painter.restore();
}

} // namespace

void paintMouth(QPainter& painter, const TjmRig& rig, const MouthPose& p, const QImage* overlay)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (overlay && !overlay->isNull() && overlay->width() > 0) {
        const double width = rig.mouthWidth * 1.2;
        const double height = width * overlay->height() / overlay->width();
        const double middle = p.centerY + (p.lowerDrop - p.upperLift) / 2.0;
        painter.drawImage(QRectF(p.centerX - width / 2.0, middle - height / 2.0, width, height), *overlay);
        painter.restore();
        return;
    }

    const double cx = p.centerX;
    const double hw = std::max(p.halfWidth, 1.0);
    const double th = std::max(p.lipThickness, 0.5);
    const QPointF left(cx - hw, p.centerY - p.smile);
    const QPointF right(cx + hw, p.centerY - p.smile);
    const double spread = hw * (0.55 + 0.35 * p.round);
    const Curve innerUpper = cornerCurve(left, right, cx, p.centerY - p.upperLift, spread);
    const Curve innerLower = cornerCurve(left, right, cx, p.centerY + p.lowerDrop, spread);
    const Curve outerLower =
        cornerCurve(left, right, cx, p.centerY + p.lowerDrop + th * (1.25 + 0.2 * p.round), hw * (0.6 + 0.2 * p.round));

    const QColor upperColor = color(rig.upperLipColor);
    const QColor lowerColor = color(rig.lowerLipColor);

    if (!p.closed()) {
        QPainterPath opening(left);
        appendForward(opening, innerUpper);
        appendBackward(opening, innerLower);
        opening.closeSubpath();
        paintOpening(painter, rig, p, opening);
    }

    // Upper lip: outer edge left to right, then the inner edge back.
    QPainterPath upper(left);
    appendUpperLipOutline(upper, p, left, right);
    appendBackward(upper, innerUpper);
    upper.closeSubpath();
    QLinearGradient upperShade(QPointF(cx, p.centerY - p.upperLift - th * 1.1), QPointF(cx, p.centerY - p.upperLift));
    upperShade.setColorAt(0.0, upperColor);
    upperShade.setColorAt(1.0, upperColor.darker(125));
    painter.fillPath(upper, upperShade);

    // Lower lip: inner edge left to right, then the outer edge back.
    QPainterPath lower(left);
    appendForward(lower, innerLower);
    appendBackward(lower, outerLower);
    lower.closeSubpath();
    const double lowerMid = p.centerY + p.lowerDrop;
    QLinearGradient lowerShade(QPointF(cx, lowerMid), QPointF(cx, lowerMid + th * 1.3));
    lowerShade.setColorAt(0.0, lowerColor.darker(112));
    lowerShade.setColorAt(0.45, lowerColor);
    lowerShade.setColorAt(1.0, lowerColor.darker(118));
    painter.fillPath(lower, lowerShade);
    // A highlight where the lower lip catches the light.
    painter.save();
    painter.setClipPath(lower, Qt::IntersectClip);
    QRadialGradient shine(QPointF(cx, lowerMid + th * 0.6), hw * 0.45);
    shine.setColorAt(0.0, QColor(255, 255, 255, 70));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawEllipse(QPointF(cx, lowerMid + th * 0.6), hw * 0.45, th * 0.5);
    painter.restore();

    // Thin outlines give the lips their shape on any skin.
    QPainterPath outline(left);
    appendUpperLipOutline(outline, p, left, right);
    outline.moveTo(left);
    appendForward(outline, outerLower);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withAlpha(upperColor.darker(150), 110), std::max(0.5, th * 0.09), Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(outline);

    // The line between the lips, and small creases at the corners.
    const QColor line = withAlpha(color(rig.mouthColor), p.closed() ? 220 : 150);
    QPainterPath parting(left);
    appendForward(parting, innerUpper);
    if (!p.closed()) {
        parting.moveTo(left);
        appendForward(parting, innerLower);
    }
    painter.setPen(QPen(line, std::max(0.7, th * (p.closed() ? 0.2 : 0.1)), Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(parting);
    const double crease = th * 0.5 * (1.0 - p.round);
    if (crease > 0.3) {
        painter.setPen(QPen(withAlpha(color(rig.mouthColor), 70), std::max(0.5, th * 0.1), Qt::SolidLine, Qt::RoundCap));
        for (const double side : {-1.0, 1.0}) {
            const QPointF corner = side < 0 ? left : right;
            QPainterPath dimple(corner + QPointF(side * crease * 0.15, -crease));
            dimple.quadTo(corner + QPointF(side * crease * 0.75, 0.0), corner + QPointF(side * crease * 0.15, crease));
            painter.drawPath(dimple);
        }
    }
    painter.restore();
}

void paintEyelids(QPainter& painter, const TjmRig& rig, double closure)
{
    closure = std::clamp(closure, 0.0, 1.0);
    if (closure < 0.02)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor skin = color(rig.skinColor);
    const QColor lash = color(rig.lashColor);
    // The lid is a little larger than the eye opening so that it also covers
    // the eye's drawn outline.
    const double rx = rig.eyeWidth * 0.5 * 1.22;
    const double ry = rig.eyeHeight * 0.5 * 1.3;
    for (const QPointF eye : {QPointF(rig.leftEyeX, rig.leftEyeY), QPointF(rig.rightEyeX, rig.rightEyeY)}) {
        // The lid's edge is an arc hung from the eye's two corners; its
        // middle falls from above the eye to the lower lid as the eye closes.
        const double middle = eye.y() - ry * 1.3 + closure * ry * 2.1;
        const double corner = eye.y() + ry * 0.08;
        const QPointF inner(eye.x() - rig.eyeWidth * 0.56, corner);
        const QPointF outer(eye.x() + rig.eyeWidth * 0.56, corner);
        const QPointF control(eye.x(), 2.0 * middle - corner);
        QPainterPath clip;
        clip.addEllipse(eye, rx, ry);
        QPainterPath lid(QPointF(eye.x() - rx * 1.1, eye.y() - ry * 1.2));
        lid.lineTo(eye.x() + rx * 1.1, eye.y() - ry * 1.2);
        lid.lineTo(eye.x() + rx * 1.1, corner);
        lid.lineTo(outer);
        lid.quadTo(control, inner);
        lid.lineTo(eye.x() - rx * 1.1, corner);
        lid.closeSubpath();

        painter.save();
        painter.setClipPath(clip, Qt::IntersectClip);
        const double lowest = std::max(middle, eye.y() - ry + 1.0);
        QLinearGradient shade(QPointF(eye.x(), eye.y() - ry), QPointF(eye.x(), lowest));
        shade.setColorAt(0.0, skin);
        shade.setColorAt(0.8, skin);
        shade.setColorAt(1.0, skin.darker(110));
        painter.fillPath(lid, shade);
        painter.restore();

        // The lashes along the lid's edge, within the eye's outline.
        QPainterPath lashClip;
        lashClip.addEllipse(eye, rx * 1.04, ry * 1.08);
        painter.save();
        painter.setClipPath(lashClip, Qt::IntersectClip);
        QPainterPath edgeLine(inner);
        edgeLine.quadTo(control, outer);
        painter.setBrush(Qt::NoBrush);
        const double width = rig.eyeHeight * (0.07 + 0.05 * closure);
        painter.setPen(QPen(lash, std::max(0.8, width), Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(edgeLine);
        painter.restore();
    }
    painter.restore();
}

void paintNeutralFace(QPainter& painter, const TjmRig& rig)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double w = rig.faceWidth;
    const double h = rig.faceHeight;
    painter.fillRect(QRectF(0, 0, w, h), QColor(0xdd, 0xe3, 0xea));
    painter.setPen(QPen(color(rig.skinColor).darker(125), std::max(1.0, w * 0.006)));
    painter.setBrush(color(rig.skinColor));
    const double middleX = (rig.leftEyeX + rig.rightEyeX) / 2.0;
    const double top = std::min(rig.leftEyeY, rig.rightEyeY) - rig.eyeHeight * 2.6;
    const double bottom = rig.mouthY + rig.mouthOpenHeight * 1.4;
    const double halfWidth = std::max(rig.rightEyeX - middleX, middleX - rig.leftEyeX) + rig.eyeWidth * 1.5;
    painter.drawEllipse(QRectF(middleX - halfWidth, top, halfWidth * 2.0, bottom - top));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color(rig.lashColor));
    for (const QPointF eye : {QPointF(rig.leftEyeX, rig.leftEyeY), QPointF(rig.rightEyeX, rig.rightEyeY)})
        painter.drawEllipse(eye, rig.eyeWidth * 0.14, rig.eyeHeight * 0.2);
    painter.restore();
}

} // namespace pavonia
