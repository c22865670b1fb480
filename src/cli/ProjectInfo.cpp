#include "cli/ProjectInfo.h"

#include "platform/FileOps.h"
#include "platform/Text.h"
#include "platform/TextEncoding.h"
#include "project/ProjectSettingsFields.h"

#include <cmath>
#include <filesystem>
#include <openssl/evp.h>
#include <vector>

namespace pavonia::cli {

using Json = nlohmann::ordered_json;

namespace {

Json font(const FontSpec& style)
{
    Json out;
    out["face"] = decodeStoredText(style.faceName());
    out["size"] = style.size;
    out["bold"] = style.bold;
    out["underline"] = style.underline;
    out["italic"] = style.italic;
    out["colour"] = style.colour;
    return out;
}

std::string name(const std::string& path)
{
    return finalComponent(path);
}

Json settingsOf(const ProjectSettings& s)
{
    using Kind = ProjectSettingsField::Kind;
    Json out;
    out["headerTag"] = s.headerTag;
    out["headerLength"] = s.headerLength;
    out["headerRecordCount"] = s.headerRecordCount;
    for (const ProjectSettingsField& field : projectSettingsFields()) {
        Json& value = out[field.name];
        switch (field.kind) {
        case Kind::Number: value = field.of<std::int32_t>(s); break;
        case Kind::Colour: value = field.of<std::uint32_t>(s); break;
        case Kind::Font: value = font(field.of<FontSpec>(s)); break;
        case Kind::Text:
        case Kind::ResolutionKey: value = field.of<std::string>(s); break;
        case Kind::File: value = name(field.of<std::string>(s)); break;
        }
    }
    return out;
}

} // namespace

std::optional<std::string> sha256OfFile(const std::string& path)
{
    FileHandle in = FileHandle::openRead(path);
    if (!in.valid())
        return std::nullopt;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (!context)
        return std::nullopt;
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    std::vector<char> buffer(1 << 20);
    std::size_t n;
    while ((n = in.readFully(buffer.data(), buffer.size())) > 0)
        EVP_DigestUpdate(context, buffer.data(), n);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest, &length);
    EVP_MD_CTX_free(context);
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 15];
    }
    return out;
}

Json describeProject(const ProjectDocument& document, const LayoutLayers& layers,
                     const std::vector<std::string>& messages)
{
    const ProjectSettings& s = document.settings();
    Json out;
    out["header"] = {{"magic", static_cast<std::uint32_t>(s.headerTag)},
                     {"totalLength", static_cast<std::uint32_t>(s.headerLength)},
                     {"recordCount", s.headerRecordCount}};
    out["settings"] = settingsOf(s);

    Json sessions = Json::array();
    for (const TreeItem* item : document.tree().sessions()) {
        const SessionData* data = item->session();
        if (!data)
            continue;
        Json session;
        session["label"] = item->text();
        session["talkingImagePath"] = name(data->talkingImagePath);
        session["talkingMessagePath"] = name(data->talkingMessagePath);
        session["modified"] = data->modified;
        session["engineLoadFlag"] = data->engineLoadFlag;
        Json slides = Json::array();
        for (const auto& slideItem : item->children()) {
            const SlideData* slide = slideItem->slide();
            if (!slide)
                continue;
            slides.push_back({{"subTopic", slide->subTopic},
                              {"description", slide->description},
                              {"mediaPath", name(slide->mediaPath)},
                              {"delay", std::round(static_cast<double>(slide->delay) * 100.0) / 100.0},
                              {"transition", slide->transition},
                              {"hasContent", slide->hasContent}});
        }
        session["slides"] = std::move(slides);
        sessions.push_back(std::move(session));
    }
    out["sessions"] = std::move(sessions);

    Json files = Json::array();
    for (const FileRef& ref : s.fileRefs.entries()) {
        Json file;
        file["copy"] = name(ref.copy);
        file["refCount"] = ref.refCount;
        std::error_code ec;
        const auto size = std::filesystem::file_size(ref.copy, ec);
        const auto digest = ec ? std::nullopt : sha256OfFile(ref.copy);
        file["size"] = digest ? Json(size) : Json(nullptr);
        file["sha256"] = digest ? Json(*digest) : Json(nullptr);
        files.push_back(std::move(file));
    }
    out["files"] = std::move(files);
    out["layoutLayers"] = {{"subTopic", layers.subTopic},
                           {"description", layers.description},
                           {"effect", layers.effect}};
    out["messages"] = messages;
    return out;
}

} // namespace pavonia::cli
