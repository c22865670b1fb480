// Draws the default talking image: a warm, friendly cartoon face (see
// FaceDrawing.h). Writes it as "default_tjm.tjm" to every path given.
//   facegen OUTPUT.tjm [OUTPUT.tjm...]
//   facegen --preview SHEET.png   (the face in several mouth and lid states)
#include "FaceDrawing.h"
#include "voice/FaceRig.h"
#include "voice/TjmFile.h"
#include "voice/painting/FacePainter.h"

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <string>

namespace {

using namespace pavonia::facegen;
using pavonia::TjmRig;

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
        p.scale(double(cell) / kFaceSize, double(cell) / kFaceSize);
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
    const FaceLook look;
    const TjmRig rig = faceRig(look);
    const QImage face = drawFace(look);
    if (std::string(argv[1]) == "--preview")
        return argc == 3 && writePreview(face, rig, argv[2]) ? 0 : 1;

    pavonia::TjmFile file;
    file.rig = rig;
    file.picture = pavonia::facegen::pngBytes(face);
    for (int i = 1; i < argc; ++i) {
        if (const pavonia::Result<> written = pavonia::writeTjmFile(argv[i], file); !written) {
            std::fprintf(stderr, "facegen: %s\n", written.failure().text().c_str());
            return 1;
        }
    }
    return 0;
}
