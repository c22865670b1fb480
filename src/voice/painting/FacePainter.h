#pragma once
// Paints the moving parts of a talking face with antialiased paths: the
// mouth (lips, the dark opening, teeth and tongue) and the eyelids. The
// painter's coordinates are the face picture's (the rig's face size); the
// caller sets the transform that places the face on the screen.
#include "voice/FaceRig.h"
#include "voice/TjmFile.h"

class QImage;
class QPainter;

namespace pavonia {

// Paints the mouth of `pose`. With an `overlay` picture the picture is drawn
// over the mouth instead, centred on it and as wide as the mouth.
void paintMouth(QPainter& painter, const TjmRig& rig, const MouthPose& pose, const QImage* overlay = nullptr);

// Paints both upper eyelids closed by `closure` (0 open, 1 shut).
void paintEyelids(QPainter& painter, const TjmRig& rig, double closure);

// A plain face for when no talking image could be shown: a pale oval with
// closed-lid eyes' surroundings left to `paintEyelids` and no mouth (the
// mouth is painted as always).
void paintNeutralFace(QPainter& painter, const TjmRig& rig);

} // namespace pavonia
