#include "publish/PageDataScript.h"

#include "platform/FileOps.h"
#include "platform/Text.h"
#include "voice/TalkingMessage.h"
#include "voice/TjmFile.h"
#include "voice/TpsFile.h"

#include <nlohmann/json.hpp>
#include <openssl/evp.h>

#include <filesystem>
#include <vector>

namespace pavonia {

namespace {

using Json = nlohmann::ordered_json;

std::string dump(const Json& json)
{
    // Names from other systems may not be valid UTF-8: such bytes become
    // replacement characters instead of stopping the script.
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string base64(std::string_view bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::string dataUrl(std::string_view picture)
{
    const bool png = picture.size() >= 4 && picture.substr(0, 4) == "\x89PNG";
    return std::string(png ? "data:image/png;base64," : "data:image/jpeg;base64,") + base64(picture);
}

Json header(const char* kind, const std::string& fileName)
{
    Json json;
    json["kind"] = kind;
    json["format"] = 1;
    json["file"] = fileName;
    return json;
}

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool writeScript(const std::string& path, const std::string& script)
{
    return writeFileReplacing(folderOf(path) + pageDataScriptName(finalComponent(path)), script);
}

} // namespace

std::string pageDataScriptName(const std::string& fileName)
{
    return fileName + ".js";
}

std::string pageDataScript(const std::string& json)
{
    return "(window.PavoniaData = window.PavoniaData || []).push(" + json + ");\n";
}

std::string MessageDataScript::make(const std::string& path, const std::string& fileName)
{
    Json json = header("message", fileName);
    if (!fileExists(path)) {
        json["error"] = "missing";
        return pageDataScript(dump(json));
    }
    if (isMutedMessageFile(path)) {
        json["muted"] = true;
        return pageDataScript(dump(json));
    }
    TalkingMessage message;
    if (!readTps(path, message)) {
        json["error"] = "damaged";
        return pageDataScript(dump(json));
    }
    json["textMode"] = message.textMode;
    json["muted"] = message.empty();
    json["durationMs"] = message.lengthMs();
    json["frameMs"] = kLipSyncFrameMs;
    // Six values a frame, in the order of LipSyncFrame.
    std::vector<int> values;
    values.reserve(message.frames.size() * 6);
    for (const LipSyncFrame& frame : message.frames)
        for (const std::int16_t value : frame.values())
            values.push_back(value);
    json["frames"] = std::move(values);
    return pageDataScript(dump(json));
}

bool MessageDataScript::writeBeside(const std::string& path)
{
    return writeScript(path, make(path, finalComponent(path)));
}

std::string FaceDataScript::make(const std::string& path, const std::string& fileName)
{
    Json json = header("face", fileName);
    TjmFile file;
    switch (readTjmFile(path, file)) {
    case TjmError::None:
        break;
    case TjmError::CannotOpen:
        json["error"] = "missing";
        return pageDataScript(dump(json));
    case TjmError::NewerVersion:
        json["error"] = "newer";
        return pageDataScript(dump(json));
    default:
        json["error"] = "damaged";
        return pageDataScript(dump(json));
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
    Json mouths = Json::object();
    for (const TjmOverlay& overlay : file.overlays)
        mouths[std::to_string(overlay.viseme)] = dataUrl(overlay.picture);
    json["mouths"] = std::move(mouths);
    return pageDataScript(dump(json));
}

bool FaceDataScript::writeBeside(const std::string& path)
{
    return writeScript(path, make(path, finalComponent(path)));
}

} // namespace pavonia
