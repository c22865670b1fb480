#pragma once
// Draws the cartoon faces of the installation's talking images: the default
// face and the varied faces of the starter content library. The mouth region
// is left as plain skin, since the player paints the mouth.
#include "voice/TjmFile.h"

#include <QColor>
#include <QImage>

#include <string>

namespace pavonia::facegen {

inline constexpr int kFaceSize = 512;

enum class HairStyle { Long, Short, Bob, Bald };

// What tells one face from another.
struct FaceLook {
    QColor skin{0xF7, 0xCF, 0xAD};
    QColor skinShade{0xE6, 0xA8, 0x80};
    QColor hair{0x5A, 0x36, 0x22};
    HairStyle hairStyle = HairStyle::Long;
    QColor iris{0x5A, 0x3A, 0x1E};
    QColor jumper{0x3E, 0x9C, 0x9A};
    QColor backgroundTop{0xFF, 0xEE, 0xD2};
    QColor backgroundBottom{0xF6, 0xD2, 0xA6};
    QColor lips{0xC0, 0x60, 0x5A};
    bool glasses = false;
    bool beard = false;
};

// The rig of a face drawn by drawFace: where its mouth and eyes are, and its colours.
TjmRig faceRig(const FaceLook& look);
QImage drawFace(const FaceLook& look);
// The picture as PNG bytes, as a talking image keeps it.
std::string pngBytes(const QImage& image);
// The talking image of `look`.
TjmFile talkingImage(const FaceLook& look);

} // namespace pavonia::facegen
