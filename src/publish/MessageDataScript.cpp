#include "publish/MessageDataScript.h"

#include "platform/Text.h"
#include "publish/PageDataScript.h"
#include "voice/TalkingMessage.h"
#include "voice/TpsFile.h"

#include <vector>

namespace pavonia {

std::string MessageDataScript::make(const std::string& path, const std::string& fileName)
{
    pagedata::Json json = pagedata::header("message", fileName);
    if (!pagedata::fileExists(path)) {
        json["error"] = "missing";
        return pagedata::script(json);
    }
    if (isMutedMessageFile(path)) {
        json["muted"] = true;
        return pagedata::script(json);
    }
    TalkingMessage message;
    if (!readTps(path, message)) {
        json["error"] = "damaged";
        return pagedata::script(json);
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
    return pagedata::script(json);
}

bool MessageDataScript::writeBeside(const std::string& path)
{
    return pagedata::writeBeside(path, make(path, finalComponent(path)));
}

} // namespace pavonia
