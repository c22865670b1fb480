#include "voice/TjmFile.h"

#include "platform/LittleEndian.h"
#include "voice/RiffChunks.h"

#include <array>

namespace pavonia {

namespace {

constexpr std::string_view kMagic = "PVTJ";
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kRigSize = 58; // the layout fields of version 1
constexpr std::size_t kPictureMinSize = 8;

void appendRig(std::string& out, const TjmRig& rig)
{
    for (std::uint16_t v : {rig.faceWidth, rig.faceHeight, rig.mouthX, rig.mouthY, rig.mouthWidth,
                            rig.mouthOpenHeight, rig.lipThickness, rig.leftEyeX, rig.leftEyeY, rig.rightEyeX,
                            rig.rightEyeY, rig.eyeWidth, rig.eyeHeight, rig.blinkEveryMs, rig.blinkMs})
        appendU16(out, v);
    for (std::uint32_t c : {rig.upperLipColor, rig.lowerLipColor, rig.mouthColor, rig.teethColor, rig.tongueColor,
                            rig.skinColor, rig.lashColor})
        appendU32(out, c);
}

// `rigBytes` holds at least kRigSize bytes.
TjmRig parseRig(std::string_view rigBytes)
{
    ByteReader in(rigBytes);
    TjmRig rig;
    for (std::uint16_t* v : {&rig.faceWidth, &rig.faceHeight, &rig.mouthX, &rig.mouthY, &rig.mouthWidth,
                             &rig.mouthOpenHeight, &rig.lipThickness, &rig.leftEyeX, &rig.leftEyeY,
                             &rig.rightEyeX, &rig.rightEyeY, &rig.eyeWidth, &rig.eyeHeight, &rig.blinkEveryMs,
                             &rig.blinkMs})
        in.u16(*v);
    for (std::uint32_t* c : {&rig.upperLipColor, &rig.lowerLipColor, &rig.mouthColor, &rig.teethColor,
                             &rig.tongueColor, &rig.skinColor, &rig.lashColor})
        in.u32(*c);
    return rig;
}

bool validOverlays(const std::vector<TjmOverlay>& overlays)
{
    if (overlays.size() > kTjmMaxOverlays)
        return false;
    std::array<bool, kTjmMaxOverlays> seen{};
    for (const TjmOverlay& overlay : overlays) {
        if (overlay.viseme < 0 || overlay.viseme >= static_cast<int>(kTjmMaxOverlays) || seen[overlay.viseme])
            return false;
        seen[overlay.viseme] = true;
        if (!isPictureData(overlay.picture) || overlay.picture.size() > 0xffffffffu)
            return false;
    }
    return true;
}

// A length field followed by that many picture bytes.
TjmError readPicture(ByteReader& in, std::string& out)
{
    std::uint32_t length = 0;
    if (!in.u32(length))
        return TjmError::Truncated;
    if (length > in.remaining())
        return TjmError::BadLength;
    const std::string_view bytes = in.bytes(length);
    if (bytes.size() < kPictureMinSize || !isPictureData(bytes))
        return TjmError::BadPicture;
    out.assign(bytes);
    return TjmError::None;
}

} // namespace

bool isValidRig(const TjmRig& r)
{
    const auto within = [](int v, int low, int high) { return v >= low && v <= high; };
    return within(r.faceWidth, 16, 8192) && within(r.faceHeight, 16, 8192) && r.mouthX < r.faceWidth &&
           r.mouthY < r.faceHeight && within(r.mouthWidth, 4, r.faceWidth) &&
           within(r.mouthOpenHeight, 1, r.faceHeight) && within(r.lipThickness, 1, r.mouthWidth) &&
           r.leftEyeX < r.faceWidth && r.leftEyeY < r.faceHeight && r.rightEyeX < r.faceWidth &&
           r.rightEyeY < r.faceHeight && within(r.eyeWidth, 2, r.faceWidth) &&
           within(r.eyeHeight, 2, r.faceHeight) && within(r.blinkMs, 40, 2000) &&
           r.blinkEveryMs >= 500 && r.blinkEveryMs >= 2 * r.blinkMs && r.upperLipColor <= 0xffffff &&
           r.lowerLipColor <= 0xffffff && r.mouthColor <= 0xffffff && r.teethColor <= 0xffffff &&
           r.tongueColor <= 0xffffff && r.skinColor <= 0xffffff && r.lashColor <= 0xffffff;
}

bool isPictureData(std::string_view b)
{
    constexpr std::string_view png = "\x89PNG\r\n\x1a\n";
    constexpr std::string_view jpeg = "\xff\xd8\xff";
    return b.substr(0, png.size()) == png || b.substr(0, jpeg.size()) == jpeg;
}

std::optional<std::string> writeTjm(const TjmFile& file)
{
    if (!isValidRig(file.rig) || !isPictureData(file.picture) || file.picture.size() < kPictureMinSize ||
        !validOverlays(file.overlays))
        return std::nullopt;
    std::string out(kMagic);
    appendU16(out, kTjmVersion);
    appendU16(out, 0);
    appendU32(out, kRigSize);
    appendRig(out, file.rig);
    appendU32(out, static_cast<std::uint32_t>(file.picture.size()));
    out += file.picture;
    appendU16(out, static_cast<std::uint16_t>(file.overlays.size()));
    for (const TjmOverlay& overlay : file.overlays) {
        appendU16(out, static_cast<std::uint16_t>(overlay.viseme));
        appendU32(out, static_cast<std::uint32_t>(overlay.picture.size()));
        out += overlay.picture;
    }
    if (out.size() > kTjmMaxFileSize)
        return std::nullopt;
    return out;
}

TjmError readTjm(std::string_view data, TjmFile& out)
{
    if (data.size() > kTjmMaxFileSize)
        return TjmError::TooLarge;
    if (data.substr(0, kMagic.size()) != kMagic)
        return data.size() < kMagic.size() && kMagic.substr(0, data.size()) == data ? TjmError::Truncated
                                                                                   : TjmError::NotTjm;
    ByteReader in(data);
    in.bytes(kMagic.size());
    std::uint16_t version = 0;
    std::uint16_t reserved = 0;
    std::uint32_t rigLength = 0;
    if (!in.u16(version))
        return TjmError::Truncated;
    if (version == 0)
        return TjmError::BadValue;
    if (version > kTjmVersion)
        return TjmError::NewerVersion;
    if (!in.u16(reserved) || !in.u32(rigLength))
        return TjmError::Truncated;
    // Later additions to the layout go after the version 1 fields; a reader
    // skips what it does not know.
    if (rigLength < kRigSize || rigLength > in.remaining())
        return TjmError::BadLength;
    TjmFile file;
    file.rig = parseRig(in.bytes(rigLength));
    if (!isValidRig(file.rig))
        return TjmError::BadValue;
    if (TjmError e = readPicture(in, file.picture); e != TjmError::None)
        return e;
    std::uint16_t count = 0;
    if (!in.u16(count))
        return TjmError::Truncated;
    if (count > kTjmMaxOverlays)
        return TjmError::BadLength;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t viseme = 0;
        if (!in.u16(viseme))
            return TjmError::Truncated;
        TjmOverlay overlay;
        overlay.viseme = static_cast<std::int16_t>(viseme);
        if (TjmError e = readPicture(in, overlay.picture); e != TjmError::None)
            return e;
        file.overlays.push_back(std::move(overlay));
    }
    if (!validOverlays(file.overlays))
        return TjmError::BadValue;
    if (in.remaining() != 0)
        return TjmError::TrailingData;
    out = std::move(file);
    return TjmError::None;
}

Result<> readTjmFile(const std::string& path, TjmFile& out)
{
    std::string data;
    if (const Result<> read = riff::readVoiceFile(path, data, kTjmMaxFileSize); !read) {
        if (read.failure().message == str::VoiceTooLong)
            return Failure(str::TalkingImageDamaged, {path});
        return Failure(str::TalkingImageMissing, {path}, read.failure().systemError);
    }
    switch (readTjm(data, out)) {
    case TjmError::None: return {};
    case TjmError::NewerVersion: return Failure(str::TalkingImageNewer, {path});
    default: return Failure(str::TalkingImageDamaged, {path});
    }
}

Result<> writeTjmFile(const std::string& path, const TjmFile& file)
{
    const std::optional<std::string> bytes = writeTjm(file);
    if (!bytes)
        return Failure(str::TalkingImageDamaged, {path});
    return riff::writeVoiceFile(path, *bytes);
}

} // namespace pavonia
