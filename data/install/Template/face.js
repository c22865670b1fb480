/*
 * Pavonia presentation player: the talking face.
 *
 * How a talking image moves and how it is drawn on a canvas, with the rules
 * of the program's talking-image player: the mouth pose each lip-sync frame
 * asks for, the painted lips, opening, teeth and tongue (or the image's own
 * mouth pictures), and blinking eyelids on a seeded schedule. The published
 * page loads this file before function.js, which uses it through
 * window.PavoniaFace:
 *   makeFace(data, onChange)  a face from a talking image's data script
 *                             (docs/page-data.md); onChange runs when its
 *                             pictures have arrived
 *   plainFace                 the face drawn when there is no talking image
 *   drawFace(canvas, face, frames, ms, moving, seed)
 *                             draws `face` at `ms` of its voice (`frames`:
 *                             six lip-sync values a frame); returns how far
 *                             the mouth is open, 0 to 1
 *   FRAME_MS                  milliseconds a lip-sync frame lasts
 */
(function (global) {
    "use strict";

    var FRAME_MS = 40;             // one lip-sync frame
    var ARTICULATION = 99;         // how far the jaw opens, in percent

    function clamp(x, low, high) {
        return x < low ? low : x > high ? high : x;
    }

    // --- The face: how the talking image moves ----------------------------

    function unit(value) {
        return clamp(Number(value) || 0, 0, 100) / 100;
    }

    function mix(a, b, t) {
        return a + (b - a) * t;
    }

    function smoothstep(x) {
        x = clamp(x, 0, 1);
        return x * x * (3 - 2 * x);
    }

    var DEFAULT_RIG = {
        faceWidth: 512, faceHeight: 512,
        mouthX: 256, mouthY: 380, mouthWidth: 110, mouthOpenHeight: 70, lipThickness: 12,
        leftEyeX: 190, leftEyeY: 250, rightEyeX: 322, rightEyeY: 250, eyeWidth: 70, eyeHeight: 50,
        blinkEveryMs: 4000, blinkMs: 180,
        upperLipColor: 0xB04A4A, lowerLipColor: 0xC85A5A, mouthColor: 0x3A1418,
        teethColor: 0xF6F2EA, tongueColor: 0xC8525A, skinColor: 0xF2C29C, lashColor: 0x3A2418
    };

    // The face shown when no talking image could be loaded: the default
    // layout with the plain face's colours.
    function plainRig() {
        var rig = {};
        for (var key in DEFAULT_RIG)
            rig[key] = DEFAULT_RIG[key];
        rig.skinColor = 0xEDE4DA;
        rig.lashColor = 0x6B625A;
        rig.upperLipColor = 0xB7908A;
        rig.lowerLipColor = 0xC49C95;
        return rig;
    }

    // A rig from a data script, every value checked; null when unusable.
    function checkedRig(data) {
        if (!data || typeof data !== "object")
            return null;
        var rig = {};
        for (var key in DEFAULT_RIG) {
            var value = Number(data[key]);
            if (!isFinite(value))
                return null;
            rig[key] = value;
        }
        if (rig.faceWidth < 1 || rig.faceHeight < 1)
            return null;
        return rig;
    }

    // The mouth a lip-sync frame asks for (values: open, width, round,
    // teeth, energy, viseme).
    function mouthPoseFor(values, offset, rig) {
        var viseme = values ? clamp(values[offset + 5] | 0, 0, 7) : 0;
        var open = values ? unit(values[offset]) * unit(ARTICULATION) : 0;
        var width = values ? unit(values[offset + 1]) : 0.5;
        var round = values ? unit(values[offset + 2]) : 0;
        var teeth = values ? unit(values[offset + 3]) : 0;
        // Silence and the lip closures (m, b, p) close the mouth whatever the
        // other values say; the teeth of f, s and th always show a little.
        if (viseme === 0 || viseme === 5)
            open = 0;
        if (viseme === 6)
            teeth = Math.max(teeth, 0.7);
        var opening = rig.mouthOpenHeight * open;
        return {
            centerX: rig.mouthX,
            centerY: rig.mouthY,
            viseme: viseme,
            round: round,
            halfWidth: rig.mouthWidth / 2 * (0.82 + 0.36 * width) * (1 - 0.4 * round) * (1 - 0.08 * open),
            upperLift: opening * 0.3,
            lowerDrop: opening * 0.7,
            lipThickness: rig.lipThickness * (1 + 0.45 * round) * (viseme === 5 ? 0.8 : 1),
            teeth: open > 0 ? teeth : 0,
            smile: rig.mouthWidth * 0.06 * (1 - round) * (0.7 + 0.3 * width)
        };
    }

    function blendPoses(a, b, t) {
        t = clamp(t, 0, 1);
        return {
            centerX: mix(a.centerX, b.centerX, t),
            centerY: mix(a.centerY, b.centerY, t),
            halfWidth: mix(a.halfWidth, b.halfWidth, t),
            upperLift: mix(a.upperLift, b.upperLift, t),
            lowerDrop: mix(a.lowerDrop, b.lowerDrop, t),
            lipThickness: mix(a.lipThickness, b.lipThickness, t),
            teeth: mix(a.teeth, b.teeth, t),
            round: mix(a.round, b.round, t),
            smile: mix(a.smile, b.smile, t),
            viseme: t < 0.5 ? a.viseme : b.viseme
        };
    }

    // The mouth at `ms` of the voice: each frame is reached over one frame's
    // time from the one before it, as the program's player moves it.
    function mouthAt(frames, ms, rig) {
        var count = frames ? Math.floor(frames.length / 6) : 0;
        if (ms < 0 || count === 0)
            return mouthPoseFor(null, 0, rig);
        var i = Math.floor(ms / FRAME_MS);
        var target = i < count ? mouthPoseFor(frames, i * 6, rig) : mouthPoseFor(null, 0, rig);
        var before = i > 0 && i - 1 < count ? mouthPoseFor(frames, (i - 1) * 6, rig) : mouthPoseFor(null, 0, rig);
        return blendPoses(before, target, (ms - i * FRAME_MS) / FRAME_MS);
    }

    // One blink: the lids fall fast and rise more slowly.
    function blinkProfile(phase) {
        var fall = 0.35;
        if (phase <= 0 || phase >= 1)
            return 0;
        return phase < fall ? smoothstep(phase / fall) : 1 - smoothstep((phase - fall) / (1 - fall));
    }

    // How far the lids are closed `ms` after the face started moving. The
    // schedule is worked out from the start each time, so the same moment
    // always gives the same lids: blinks come every `blinkEveryMs` on
    // average (between 0.5 and 1.5 times that, from a seeded generator),
    // now and then a quick double blink.
    function lidClosure(rig, seed, ms) {
        var every = Math.max(Math.floor(rig.blinkEveryMs), 100);
        var duration = Math.max(Math.floor(rig.blinkMs), 20);
        var state = seed >>> 0;
        var nextInterval = function () {
            state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
            var r = (state >>> 8) / 16777216;
            return Math.floor(every * (0.5 + r));
        };
        var nextBlink = nextInterval();
        var doubleBlink = false;
        if (ms - nextBlink > 100 * every) {
            state = seed >>> 0;
            nextBlink = ms + nextInterval();
        }
        var gap = Math.floor(duration * 13 / 10);
        for (;;) {
            var span = doubleBlink ? gap + duration : duration;
            if (ms < nextBlink + span)
                break;
            nextBlink += span + nextInterval();
            doubleBlink = (state >>> 28) < 2;
        }
        var phase = ms - nextBlink;
        if (phase < 0)
            return 0;
        var first = blinkProfile(phase / duration);
        var second = doubleBlink ? blinkProfile((phase - gap) / duration) : 0;
        return Math.max(first, second);
    }

    // --- The face: drawing --------------------------------------------------

    function rgbOf(value) {
        value = Number(value) >>> 0;
        return [(value >> 16) & 255, (value >> 8) & 255, value & 255];
    }

    function css(rgb, alpha) {
        var r = Math.round(clamp(rgb[0], 0, 255));
        var g = Math.round(clamp(rgb[1], 0, 255));
        var b = Math.round(clamp(rgb[2], 0, 255));
        if (alpha === undefined)
            return "rgb(" + r + "," + g + "," + b + ")";
        return "rgba(" + r + "," + g + "," + b + "," + (alpha / 255).toFixed(3) + ")";
    }

    // Lighter and darker as the program's painter makes them: the colour's
    // value is scaled in HSV, and past white the saturation gives way.
    function scaleValue(rgb, factor) {
        var r = rgb[0], g = rgb[1], b = rgb[2];
        var max = Math.max(r, g, b), min = Math.min(r, g, b);
        var v = max, s = max === 0 ? 0 : (max - min) * 255 / max;
        var h = 0;
        if (max !== min) {
            var d = max - min;
            if (max === r)
                h = 60 * (((g - b) / d) % 6);
            else if (max === g)
                h = 60 * ((b - r) / d + 2);
            else
                h = 60 * ((r - g) / d + 4);
            if (h < 0)
                h += 360;
        }
        v = v * factor;
        if (v > 255) {
            s -= v - 255;
            if (s < 0)
                s = 0;
            v = 255;
        }
        var c = v * s / 255;
        var x = c * (1 - Math.abs((h / 60) % 2 - 1));
        var m = v - c;
        var out;
        if (h < 60) out = [c, x, 0];
        else if (h < 120) out = [x, c, 0];
        else if (h < 180) out = [0, c, x];
        else if (h < 240) out = [0, x, c];
        else if (h < 300) out = [x, 0, c];
        else out = [c, 0, x];
        return [out[0] + m, out[1] + m, out[2] + m];
    }

    function lighter(rgb, percent) {
        return scaleValue(rgb, percent / 100);
    }

    function darker(rgb, percent) {
        return scaleValue(rgb, 100 / percent);
    }

    function radial(ctx, x, y, radius, stops) {
        var gradient = ctx.createRadialGradient(x, y, 0, x, y, Math.max(radius, 0.001));
        for (var i = 0; i < stops.length; ++i)
            gradient.addColorStop(stops[i][0], stops[i][1]);
        return gradient;
    }

    function linear(ctx, x0, y0, x1, y1, stops) {
        if (x0 === x1 && y0 === y1)
            y1 += 0.001;
        var gradient = ctx.createLinearGradient(x0, y0, x1, y1);
        for (var i = 0; i < stops.length; ++i)
            gradient.addColorStop(stops[i][0], stops[i][1]);
        return gradient;
    }

    // A symmetric curve from one mouth corner to the other whose middle lies
    // at `middleY`; `spread` moves the control points towards the corners.
    function cornerCurve(left, right, centerX, middleY, spread) {
        // The middle of a symmetric cubic lies 3/4 of the way from the
        // corners' height to the control points' height.
        var controlY = (middleY - 0.25 * left.y) / 0.75;
        return { from: left, c1: { x: centerX - spread, y: controlY }, c2: { x: centerX + spread, y: controlY }, to: right };
    }

    function forward(path, c) {
        path.bezierCurveTo(c.c1.x, c.c1.y, c.c2.x, c.c2.y, c.to.x, c.to.y);
    }

    function backward(path, c) {
        path.bezierCurveTo(c.c2.x, c.c2.y, c.c1.x, c.c1.y, c.from.x, c.from.y);
    }

    // The outer edge of the upper lip: up from the left corner to the two
    // peaks of the bow, down into its dip, and back to the right corner.
    function upperLipOutline(path, p, left, right) {
        var cx = p.centerX, hw = p.halfWidth, th = p.lipThickness;
        var base = p.centerY - p.upperLift;
        var peakY = base - th * 1.05;
        var dipY = base - th * (0.78 + 0.15 * p.round);
        var peakX = hw * (0.22 - 0.06 * p.round);
        path.bezierCurveTo(cx - hw * 0.8, left.y - th * 0.45, cx - hw * 0.5, peakY, cx - peakX, peakY);
        path.quadraticCurveTo(cx - peakX * 0.35, dipY, cx, dipY);
        path.quadraticCurveTo(cx + peakX * 0.35, dipY, cx + peakX, peakY);
        path.bezierCurveTo(cx + hw * 0.5, peakY, cx + hw * 0.8, right.y - th * 0.45, right.x, right.y);
    }

    function roundedRect(ctx, x, y, w, h, r) {
        r = Math.max(0, Math.min(r, w / 2, h / 2));
        ctx.beginPath();
        ctx.moveTo(x + r, y);
        ctx.lineTo(x + w - r, y);
        ctx.quadraticCurveTo(x + w, y, x + w, y + r);
        ctx.lineTo(x + w, y + h - r);
        ctx.quadraticCurveTo(x + w, y + h, x + w - r, y + h);
        ctx.lineTo(x + r, y + h);
        ctx.quadraticCurveTo(x, y + h, x, y + h - r);
        ctx.lineTo(x, y + r);
        ctx.quadraticCurveTo(x, y, x + r, y);
        ctx.closePath();
        ctx.fill();
    }

    function paintOpening(ctx, rig, p, opening) {
        var cx = p.centerX, hw = p.halfWidth;
        var top = p.centerY - p.upperLift;
        var bottom = p.centerY + p.lowerDrop;
        var height = bottom - top;
        ctx.save();
        ctx.clip(opening);
        var inside = rgbOf(rig.mouthColor);
        ctx.fillStyle = radial(ctx, cx, top + height * 0.65, Math.max(hw, 1),
                               [[0, css(lighter(inside, 150))], [1, css(inside)]]);
        ctx.fill(opening);

        // Tongue, low in the mouth, seen once the jaw has dropped.
        if (height > p.lipThickness * 0.8) {
            var tongue = rgbOf(rig.tongueColor);
            ctx.fillStyle = radial(ctx, cx, bottom - height * 0.05, hw * 0.8,
                                   [[0, css(lighter(tongue, 112))], [1, css(darker(tongue, 135))]]);
            ctx.beginPath();
            ctx.ellipse(cx, bottom + height * 0.08, Math.max(hw * 0.62, 0), Math.max(height * 0.42, 0), 0, 0, Math.PI * 2);
            ctx.fill();
        }

        // Teeth: the upper row under the upper lip, the lower row when more show.
        if (p.teeth > 0) {
            var teeth = rgbOf(rig.teethColor);
            var upperHeight = Math.min(height * 0.42, p.lipThickness * 1.5) * (0.45 + 0.55 * p.teeth);
            ctx.fillStyle = linear(ctx, cx, top, cx, top + upperHeight,
                                   [[0, css(teeth)], [1, css(darker(teeth, 108))]]);
            roundedRect(ctx, cx - hw * 0.78, top - p.lipThickness, hw * 1.56, upperHeight + p.lipThickness,
                        upperHeight * 0.35);
            ctx.strokeStyle = css(darker(teeth, 125), 160);
            ctx.lineWidth = Math.max(0.6, hw * 0.012);
            ctx.lineCap = "butt";
            var gaps = [-0.5, -0.2, 0, 0.2, 0.5];
            for (var i = 0; i < gaps.length; ++i) {
                var x = cx + hw * gaps[i];
                ctx.beginPath();
                ctx.moveTo(x, top);
                ctx.lineTo(x, top + upperHeight * (gaps[i] === 0 ? 0.98 : 0.9));
                ctx.stroke();
            }
            if (p.teeth > 0.4 && height > p.lipThickness) {
                var lowerHeight = upperHeight * 0.55 * (p.teeth - 0.3);
                ctx.fillStyle = css(darker(teeth, 104));
                roundedRect(ctx, cx - hw * 0.6, bottom - lowerHeight, hw * 1.2, lowerHeight + p.lipThickness,
                            lowerHeight * 0.3);
            }
        }
        // A soft shadow under the upper lip gives the opening depth.
        ctx.fillStyle = linear(ctx, cx, top, cx, top + height * 0.35,
                               [[0, css(inside, 110)], [1, css(inside, 0)]]);
        ctx.fill(opening);
        ctx.restore();
    }

    // Paints the mouth of `p`, or the mouth picture `overlay` centred on it.
    function paintMouth(ctx, rig, p, overlay) {
        ctx.save();
        if (overlay && overlay.naturalWidth > 0) {
            var ow = rig.mouthWidth * 1.2;
            var oh = ow * overlay.naturalHeight / overlay.naturalWidth;
            var middle = p.centerY + (p.lowerDrop - p.upperLift) / 2;
            ctx.drawImage(overlay, p.centerX - ow / 2, middle - oh / 2, ow, oh);
            ctx.restore();
            return;
        }
        var cx = p.centerX;
        var hw = Math.max(p.halfWidth, 1);
        var th = Math.max(p.lipThickness, 0.5);
        var closed = p.upperLift + p.lowerDrop <= 0;
        var left = { x: cx - hw, y: p.centerY - p.smile };
        var right = { x: cx + hw, y: p.centerY - p.smile };
        var spread = hw * (0.55 + 0.35 * p.round);
        var innerUpper = cornerCurve(left, right, cx, p.centerY - p.upperLift, spread);
        var innerLower = cornerCurve(left, right, cx, p.centerY + p.lowerDrop, spread);
        var outerLower = cornerCurve(left, right, cx, p.centerY + p.lowerDrop + th * (1.25 + 0.2 * p.round),
                                     hw * (0.6 + 0.2 * p.round));
        var upperColor = rgbOf(rig.upperLipColor);
        var lowerColor = rgbOf(rig.lowerLipColor);
        var q = { centerX: cx, centerY: p.centerY, halfWidth: hw, lipThickness: th, upperLift: p.upperLift,
                  lowerDrop: p.lowerDrop, round: p.round, teeth: p.teeth };

        if (!closed) {
            var opening = new Path2D();
            opening.moveTo(left.x, left.y);
            forward(opening, innerUpper);
            backward(opening, innerLower);
            opening.closePath();
            paintOpening(ctx, rig, q, opening);
        }

        // Upper lip: outer edge left to right, then the inner edge back.
        var upper = new Path2D();
        upper.moveTo(left.x, left.y);
        upperLipOutline(upper, q, left, right);
        backward(upper, innerUpper);
        upper.closePath();
        ctx.fillStyle = linear(ctx, cx, p.centerY - p.upperLift - th * 1.1, cx, p.centerY - p.upperLift,
                               [[0, css(upperColor)], [1, css(darker(upperColor, 125))]]);
        ctx.fill(upper);

        // Lower lip: inner edge left to right, then the outer edge back.
        var lower = new Path2D();
        lower.moveTo(left.x, left.y);
        forward(lower, innerLower);
        backward(lower, outerLower);
        lower.closePath();
        var lowerMid = p.centerY + p.lowerDrop;
        ctx.fillStyle = linear(ctx, cx, lowerMid, cx, lowerMid + th * 1.3,
                               [[0, css(darker(lowerColor, 112))], [0.45, css(lowerColor)],
                                [1, css(darker(lowerColor, 118))]]);
        ctx.fill(lower);
        // A highlight where the lower lip catches the light.
        ctx.save();
        ctx.clip(lower);
        ctx.fillStyle = radial(ctx, cx, lowerMid + th * 0.6, hw * 0.45,
                               [[0, "rgba(255,255,255,0.275)"], [1, "rgba(255,255,255,0)"]]);
        ctx.beginPath();
        ctx.ellipse(cx, lowerMid + th * 0.6, hw * 0.45, th * 0.5, 0, 0, Math.PI * 2);
        ctx.fill();
        ctx.restore();

        // Thin outlines give the lips their shape on any skin.
        var outline = new Path2D();
        outline.moveTo(left.x, left.y);
        upperLipOutline(outline, q, left, right);
        outline.moveTo(left.x, left.y);
        forward(outline, outerLower);
        ctx.lineCap = "round";
        ctx.strokeStyle = css(darker(upperColor, 150), 110);
        ctx.lineWidth = Math.max(0.5, th * 0.09);
        ctx.stroke(outline);

        // The line between the lips, and small creases at the corners.
        var mouth = rgbOf(rig.mouthColor);
        var parting = new Path2D();
        parting.moveTo(left.x, left.y);
        forward(parting, innerUpper);
        if (!closed) {
            parting.moveTo(left.x, left.y);
            forward(parting, innerLower);
        }
        ctx.strokeStyle = css(mouth, closed ? 220 : 150);
        ctx.lineWidth = Math.max(0.7, th * (closed ? 0.2 : 0.1));
        ctx.stroke(parting);
        var crease = th * 0.5 * (1 - p.round);
        if (crease > 0.3) {
            ctx.strokeStyle = css(mouth, 70);
            ctx.lineWidth = Math.max(0.5, th * 0.1);
            var sides = [-1, 1];
            for (var i = 0; i < sides.length; ++i) {
                var side = sides[i];
                var corner = side < 0 ? left : right;
                ctx.beginPath();
                ctx.moveTo(corner.x + side * crease * 0.15, corner.y - crease);
                ctx.quadraticCurveTo(corner.x + side * crease * 0.75, corner.y, corner.x + side * crease * 0.15,
                                     corner.y + crease);
                ctx.stroke();
            }
        }
        ctx.restore();
    }

    // Both upper eyelids closed by `closure` (0 open, 1 shut).
    function paintEyelids(ctx, rig, closure) {
        closure = clamp(closure, 0, 1);
        if (closure < 0.02)
            return;
        var skin = rgbOf(rig.skinColor);
        var lash = rgbOf(rig.lashColor);
        // The lid is a little larger than the eye opening so that it also
        // covers the eye's drawn outline.
        var rx = rig.eyeWidth * 0.5 * 1.22;
        var ry = rig.eyeHeight * 0.5 * 1.3;
        var eyes = [[rig.leftEyeX, rig.leftEyeY], [rig.rightEyeX, rig.rightEyeY]];
        for (var i = 0; i < eyes.length; ++i) {
            var ex = eyes[i][0], ey = eyes[i][1];
            // The lid's edge is an arc hung from the eye's two corners; its
            // middle falls from above the eye to the lower lid as it closes.
            var middle = ey - ry * 1.3 + closure * ry * 2.1;
            var corner = ey + ry * 0.08;
            var inner = { x: ex - rig.eyeWidth * 0.56, y: corner };
            var outer = { x: ex + rig.eyeWidth * 0.56, y: corner };
            var control = { x: ex, y: 2 * middle - corner };
            var clip = new Path2D();
            clip.ellipse(ex, ey, rx, ry, 0, 0, Math.PI * 2);
            var lid = new Path2D();
            lid.moveTo(ex - rx * 1.1, ey - ry * 1.2);
            lid.lineTo(ex + rx * 1.1, ey - ry * 1.2);
            lid.lineTo(ex + rx * 1.1, corner);
            lid.lineTo(outer.x, outer.y);
            lid.quadraticCurveTo(control.x, control.y, inner.x, inner.y);
            lid.lineTo(ex - rx * 1.1, corner);
            lid.closePath();

            ctx.save();
            ctx.clip(clip);
            var lowest = Math.max(middle, ey - ry + 1);
            ctx.fillStyle = linear(ctx, ex, ey - ry, ex, lowest,
                                   [[0, css(skin)], [0.8, css(skin)], [1, css(darker(skin, 110))]]);
            ctx.fill(lid);
            ctx.restore();

            // The lashes along the lid's edge, within the eye's outline.
            var lashClip = new Path2D();
            lashClip.ellipse(ex, ey, rx * 1.04, ry * 1.08, 0, 0, Math.PI * 2);
            ctx.save();
            ctx.clip(lashClip);
            ctx.beginPath();
            ctx.moveTo(inner.x, inner.y);
            ctx.quadraticCurveTo(control.x, control.y, outer.x, outer.y);
            ctx.strokeStyle = css(lash);
            ctx.lineCap = "round";
            ctx.lineWidth = Math.max(0.8, rig.eyeHeight * (0.07 + 0.05 * closure));
            ctx.stroke();
            ctx.restore();
        }
    }

    // A plain face for when no talking image could be shown.
    function paintNeutralFace(ctx, rig) {
        var w = rig.faceWidth, h = rig.faceHeight;
        ctx.save();
        ctx.fillStyle = "rgb(221,227,234)";
        ctx.fillRect(0, 0, w, h);
        var skin = rgbOf(rig.skinColor);
        var middleX = (rig.leftEyeX + rig.rightEyeX) / 2;
        var top = Math.min(rig.leftEyeY, rig.rightEyeY) - rig.eyeHeight * 2.6;
        var bottom = rig.mouthY + rig.mouthOpenHeight * 1.4;
        var halfWidth = Math.max(rig.rightEyeX - middleX, middleX - rig.leftEyeX) + rig.eyeWidth * 1.5;
        ctx.beginPath();
        ctx.ellipse(middleX, (top + bottom) / 2, halfWidth, (bottom - top) / 2, 0, 0, Math.PI * 2);
        ctx.fillStyle = css(skin);
        ctx.fill();
        ctx.strokeStyle = css(darker(skin, 125));
        ctx.lineWidth = Math.max(1, w * 0.006);
        ctx.stroke();
        ctx.fillStyle = css(rgbOf(rig.lashColor));
        var eyes = [[rig.leftEyeX, rig.leftEyeY], [rig.rightEyeX, rig.rightEyeY]];
        for (var i = 0; i < eyes.length; ++i) {
            ctx.beginPath();
            ctx.ellipse(eyes[i][0], eyes[i][1], rig.eyeWidth * 0.14, rig.eyeHeight * 0.2, 0, 0, Math.PI * 2);
            ctx.fill();
        }
        ctx.restore();
    }

    // A talking image ready to draw: its layout and decoded pictures.
    function makeFace(data, onChange) {
        var changed = typeof onChange === "function" ? onChange : function () {};
        var rig = data && data.kind === "face" && !data.error ? checkedRig(data.rig) : null;
        var face = { rig: rig || plainRig(), picture: null, overlays: [], plain: !rig };
        if (!rig)
            return face;
        var picture = function (source) {
            if (typeof source !== "string" || !source)
                return null;
            var image = new Image();
            image.onload = function () { changed(); };
            image.onerror = function () {
                image.failed = true;
                if (image === face.picture) {
                    // A picture the browser cannot decode: the plain face.
                    face.rig = plainRig();
                    face.picture = null;
                    face.overlays = [];
                    face.plain = true;
                }
                changed();
            };
            image.src = source;
            return image;
        };
        face.picture = picture(data.picture);
        if (!face.picture) {
            face.rig = plainRig();
            face.plain = true;
            return face;
        }
        var mouths = data.mouths && typeof data.mouths === "object" ? data.mouths : {};
        for (var v = 0; v < 8; ++v)
            face.overlays[v] = picture(mouths[v]);
        return face;
    }

    var plainFace = { rig: plainRig(), picture: null, overlays: [], plain: true };

    // Draws `face` into `canvas` at `ms` of its session; `moving` false
    // draws it at rest (mouth closed, eyes open). Returns how far the mouth
    // is open, 0 to 1.
    // What a drawing shows, so an unchanged picture is not drawn again.
    function pictureKey(face, picture, overlay, pose, closure, width, height) {
        return [width, height, picture ? picture.src.length : -1, overlay ? overlay.src.length : -1,
                face.plain, pose.centerX, pose.centerY, pose.halfWidth, pose.upperLift, pose.lowerDrop,
                pose.lipThickness, pose.teeth, pose.round, pose.smile, pose.viseme, closure].join(",");
    }

    function drawFace(canvas, face, frames, ms, moving, seed) {
        var ctx = canvas.getContext("2d");
        if (!ctx)
            return 0;
        face = face || plainFace;
        var rig = face.rig;
        var width = canvas.width, height = canvas.height;
        var picture = face.picture && face.picture.complete && face.picture.naturalWidth > 0 ? face.picture : null;
        var pose = moving ? mouthAt(frames, ms, rig) : mouthPoseFor(null, 0, rig);
        var overlay = face.overlays[clamp(pose.viseme, 0, 7)];
        overlay = overlay && overlay.complete && overlay.naturalWidth > 0 ? overlay : null;
        var closure = moving ? lidClosure(rig, seed, Math.max(0, ms)) : 0;
        var opening = rig.mouthOpenHeight > 0 ? clamp((pose.upperLift + pose.lowerDrop) / rig.mouthOpenHeight, 0, 1) : 0;
        var key = pictureKey(face, picture, overlay, pose, closure < 0.02 ? 0 : closure, width, height);
        if (canvas.pavoniaFace === face && canvas.pavoniaKey === key)
            return opening;
        canvas.pavoniaFace = face;
        canvas.pavoniaKey = key;
        ctx.setTransform(1, 0, 0, 1, 0, 0);
        ctx.clearRect(0, 0, width, height);
        if (width <= 0 || height <= 0)
            return 0;
        var pw = picture ? picture.naturalWidth : rig.faceWidth;
        var ph = picture ? picture.naturalHeight : rig.faceHeight;
        // The face keeps its proportions, centred in the canvas.
        var fit = Math.min(width / pw, height / ph);
        var tw = pw * fit, th = ph * fit;
        var tx = (width - tw) / 2, ty = (height - th) / 2;
        ctx.imageSmoothingEnabled = true;
        if (picture)
            ctx.drawImage(picture, tx, ty, tw, th);
        ctx.translate(tx, ty);
        ctx.scale(tw / rig.faceWidth, th / rig.faceHeight);
        if (!picture)
            paintNeutralFace(ctx, rig);
        paintMouth(ctx, rig, pose, overlay);
        if (moving)
            paintEyelids(ctx, rig, closure);
        ctx.setTransform(1, 0, 0, 1, 0, 0);
        return opening;
    }

    global.PavoniaFace = {
        FRAME_MS: FRAME_MS,
        makeFace: makeFace,
        plainFace: plainFace,
        drawFace: drawFace
    };
})(window);
