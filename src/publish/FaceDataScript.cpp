#include "publish/FaceDataScript.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "publish/PageDataScript.h"
#include "voice/TjmFile.h"

namespace pavonia {

namespace {

std::string dataUrl(std::string_view picture)
{
    const bool png = picture.size() >= 4 && picture.substr(0, 4) == "\x89PNG";
    return std::string(png ? "data:image/png;base64," : "data:image/jpeg;base64,") + pagedata::base64(picture);
}

} // namespace

std::string FaceDataScript::make(const std::string& path, const std::string& fileName)
{
    pagedata::Json json = pagedata::header("face", fileName);
    TjmFile file;
    if (const Result<> read = readTjmFile(path, file); !read) {
        const int message = read.failure().message;
        json["error"] = message == str::TalkingImageMissing ? "missing"
                        : message == str::TalkingImageNewer ? "newer"
                                                            : "damaged";
        return pagedata::script(json);
    }
    const TjmRig& r = file.rig;
    json["rig"] = {
        {"faceWidth", r.faceWidth},         {"faceHeight", r.faceHeight},   {"mouthX", r.mouthX},
        {"mouthY", r.mouthY},               {"mouthWidth", r.mouthWidth},   {"mouthOpenHeight", r.mouthOpenHeight},
        {"lipThickness", r.lipThickness},   {"leftEyeX", r.leftEyeX},       {"leftEyeY", r.leftEyeY},
        {"rightEyeX", r.rightEyeX},         {"rightEyeY", r.rightEyeY},     {"eyeWidth", r.eyeWidth},
        {"eyeHeight", r.eyeHeight},         {"blinkEveryMs", r.blinkEveryMs}, {"blinkMs", r.blinkMs},
        {"upperLipColor", r.upperLipColor}, {"lowerLipColor", r.lowerLipColor}, {"mouthColor", r.mouthColor},
        {"teethColor", r.teethColor},       {"tongueColor", r.tongueColor}, {"skinColor", r.skinColor},
        {"lashColor", r.lashColor},
    };
    json["picture"] = dataUrl(file.picture);
    pagedata::Json mouths = pagedata::Json::object();
    for (const TjmOverlay& overlay : file.overlays)
        mouths[std::to_string(overlay.viseme)] = dataUrl(overlay.picture);
    json["mouths"] = std::move(mouths);
    return pagedata::script(json);
}

bool FaceDataScript::writeBeside(const std::string& path)
{
    return pagedata::writeBeside(path, make(path, finalComponent(path)));
}

} // namespace pavonia
