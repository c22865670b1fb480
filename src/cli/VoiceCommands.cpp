#include "cli/VoiceCommands.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "voice/LipSyncAnalyzer.h"
#include "voice/Mp3Decoder.h"
#include "project/SessionFileCopies.h"
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace pavonia::cli {

namespace {

// The sound of a wave or MP3 file. An MP3 is decoded straight into memory:
// the 16-bit wave the slide voice page passes it through holds the same
// samples, so writing and reading one back would only cost time and disk.
Result<> readVoice(const std::string& source, PcmAudio& audio)
{
    // A pipe (a shell's "<(...)") or a device may never end: say so plainly.
    std::error_code ec;
    const auto type = std::filesystem::status(source, ec).type();
    if (!ec && type != std::filesystem::file_type::regular && type != std::filesystem::file_type::directory) {
        return Failure(str::AudioFromPipe, {source});
    }
    if (equalsIgnoreCase(extensionOf(source), "mp3"))
        return decodeMp3(source, audio);
    Result<> read = readWave(source, audio);
    // Say plainly that only waves and MP3 files are taken.
    if (!read && read.failure().message == str::VoiceNotWave)
        return Failure(str::VoiceUnsupportedAudio, {source});
    return read;
}

int voiceImport(const Workplace& place, const std::string& project, const std::string& sessionText,
                const std::string& audioPath, const std::string& out)
{
    const std::optional<int> number = wholeNumber(sessionText, 1, 999999999);
    Session session(place, true);
    if (!loadProjectToSave(session, project, out))
        return 1;
    ProjectDocument& document = session.document;
    const auto sessions = document.tree().sessions();
    if (!number || std::size_t(*number) > sessions.size() || !sessions[std::size_t(*number - 1)]->session()) {
        std::cerr << StringTable::format(str::VoiceSessionNotFound, {sessionText}) << '\n';
        return 1;
    }
    SessionData& data = *sessions[std::size_t(*number - 1)]->session();

    TalkingMessage message;
    if (const Result<> read = readVoice(audioPath, message.voice); !read) {
        std::cerr << read.failure().text() << '\n';
        return 1;
    }
    message.frames = analyseLipSync(message.voice, LipSyncSettings::load(place.home()));

    // A new working copy of the session's own: the old one may be shared
    // with other sessions, which must keep their messages.
    SessionFileCopies copies(document);
    const std::string copy = copies.create("tps");
    const Result<> written =
        copy.empty() ? Result<>(Failure(str::VoiceWriteFailed, {document.workingFolder().tempFolder()}))
                     : writeTps(copy, message);
    if (!written) {
        std::cerr << written.failure().text() << '\n';
        if (!copy.empty())
            copies.release(copy);
        return 1;
    }
    copies.release(data.talkingMessagePath);
    data.talkingMessagePath = copy;
    data.modified = 1;
    data.engineLoadFlag = 1; // the file was replaced: the engine reloads it
    document.setDirty(true);
    return SaveProject(document, out.empty() ? project : out) ? 0 : 1;
}

} // namespace

int voiceCommand(const Workplace& place, const std::vector<std::string>& args)
{
    // import PROJECT SESSION AUDIO [--out OUT]
    if (args.size() != 4 && !(args.size() == 6 && args[4] == "--out"))
        return 2;
    if (args[0] != "import")
        return 2;
    return voiceImport(place, args[1], args[2], args[3], args.size() == 6 ? args[5] : std::string());
}

int tpsInfoCommand(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return 2;
    TalkingMessage message;
    if (const Result<> read = readTps(args[0], message); !read) {
        std::cerr << read.failure().text() << '\n';
        return 1;
    }
    const auto open = std::count_if(message.frames.begin(), message.frames.end(),
                                    [](const LipSyncFrame& f) { return !f.mouthClosed(); });
    nlohmann::ordered_json json;
    json["lengthMs"] = message.lengthMs();
    json["sampleRate"] = message.voice.sampleRate;
    json["channels"] = message.voice.channels;
    json["textMode"] = message.textMode;
    json["frames"] = message.frames.size();
    json["openFrames"] = open;
    std::cout << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return 0;
}

} // namespace pavonia::cli
