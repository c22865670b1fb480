#include "voice/TjmFile.h"

#include "TestInstallation.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>

namespace pavonia {
namespace {

// Pictures only need their signature here: the file keeps them encoded.
const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "face-bytes";
const std::string kJpeg = std::string("\xff\xd8\xff\xe0", 4) + "mouth-bytes";

// Where the fields of a version 1 file lie.
constexpr std::size_t kVersionAt = 4;
constexpr std::size_t kRigLengthAt = 8;
constexpr std::size_t kRigAt = 12;
constexpr std::size_t kPictureLengthAt = kRigAt + 58;
constexpr std::size_t kPictureAt = kPictureLengthAt + 4;

TjmFile sampleFile()
{
    TjmFile file;
    file.rig.faceWidth = 640;
    file.rig.faceHeight = 480;
    file.rig.mouthX = 320;
    file.rig.mouthY = 360;
    file.rig.eyeWidth = 61;
    file.rig.blinkEveryMs = 5000;
    file.rig.lashColor = 0x102030;
    file.picture = kPng;
    file.overlays = {{1, kJpeg}, {4, kPng}};
    return file;
}

std::string sampleBytes()
{
    const auto bytes = writeTjm(sampleFile());
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::string());
}

void putU16At(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xff);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void putU32At(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

TEST(TjmFile, RoundTripKeepsEveryFieldAndThePictureBytes)
{
    const TjmFile file = sampleFile();
    TjmFile read;
    ASSERT_EQ(readTjm(sampleBytes(), read), TjmError::None);
    EXPECT_EQ(read, file);

    test::TestInstallation installation(false);
    const std::string path = installation.folder() + "face.tjm";
    ASSERT_TRUE(writeTjmFile(path, file));
    TjmFile fromDisk;
    ASSERT_TRUE(readTjmFile(path, fromDisk));
    EXPECT_EQ(fromDisk, file);
    const auto failureOf = [&](const std::string& p) {
        const Result<> read = readTjmFile(p, fromDisk);
        return read ? Failure() : read.failure();
    };
    const Failure missing = failureOf(installation.folder() + "missing.tjm");
    EXPECT_EQ(missing.message, str::TalkingImageMissing);
    EXPECT_EQ(missing.systemError, ENOENT);
    EXPECT_EQ(failureOf(installation.folder()).message, str::TalkingImageMissing);
    // A file past the size limit is refused before it is read.
    const std::string huge = installation.folder() + "huge.tjm";
    ASSERT_TRUE(writeTjmFile(huge, file));
    std::filesystem::resize_file(huge, kTjmMaxFileSize + 1);
    EXPECT_EQ(failureOf(huge).text(), StringTable::format(str::TalkingImageDamaged, {huge}));
    EXPECT_EQ(fromDisk, file);
}

TEST(TjmFile, EveryTruncationIsRefusedAndLeavesTheResultAlone)
{
    const std::string bytes = sampleBytes();
    TjmFile sentinel;
    sentinel.picture = "untouched";
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        TjmFile out = sentinel;
        EXPECT_NE(readTjm(std::string_view(bytes).substr(0, length), out), TjmError::None) << length;
        EXPECT_EQ(out, sentinel) << length;
    }
}

TEST(TjmFile, LyingLengthsAndBadValuesAreRefused)
{
    const std::string good = sampleBytes();
    const std::size_t countAt = kPictureAt + kPng.size();
    const std::size_t firstOverlayLengthAt = countAt + 2 + 2;
    struct Case {
        const char* what;
        void (*damage)(std::string&, std::size_t countAt, std::size_t overlayLengthAt);
        TjmError expected;
    };
    const Case cases[] = {
        {"foreign signature", [](std::string& b, std::size_t, std::size_t) { b[0] = 'X'; }, TjmError::NotTjm},
        {"later version", [](std::string& b, std::size_t, std::size_t) { putU16At(b, kVersionAt, 2); },
         TjmError::NewerVersion},
        {"version 0", [](std::string& b, std::size_t, std::size_t) { putU16At(b, kVersionAt, 0); },
         TjmError::BadValue},
        {"layout longer than the file",
         [](std::string& b, std::size_t, std::size_t) { putU32At(b, kRigLengthAt, 0xfffffff0u); },
         TjmError::BadLength},
        {"layout shorter than its fields", [](std::string& b, std::size_t, std::size_t) { putU32At(b, kRigLengthAt, 57); },
         TjmError::BadLength},
        {"picture longer than the file",
         [](std::string& b, std::size_t, std::size_t) { putU32At(b, kPictureLengthAt, 0xffffffffu); },
         TjmError::BadLength},
        {"picture shorter than stored",
         [](std::string& b, std::size_t, std::size_t) { putU32At(b, kPictureLengthAt, 9); }, TjmError::BadLength},
        {"empty picture", [](std::string& b, std::size_t, std::size_t) { putU32At(b, kPictureLengthAt, 0); },
         TjmError::BadPicture},
        {"picture neither PNG nor JPEG", [](std::string& b, std::size_t, std::size_t) { b[kPictureAt + 1] = 'Q'; },
         TjmError::BadPicture},
        {"too many overlays", [](std::string& b, std::size_t at, std::size_t) { putU16At(b, at, 9); },
         TjmError::BadLength},
        {"more overlays than stored", [](std::string& b, std::size_t at, std::size_t) { putU16At(b, at, 3); },
         TjmError::Truncated},
        {"overlay longer than the file",
         [](std::string& b, std::size_t, std::size_t at) { putU32At(b, at, 0x7fffffffu); }, TjmError::BadLength},
        {"repeated overlay viseme", [](std::string& b, std::size_t at, std::size_t) { putU16At(b, at + 2, 4); },
         TjmError::BadValue},
        {"overlay viseme out of range", [](std::string& b, std::size_t at, std::size_t) { putU16At(b, at + 2, 8); },
         TjmError::BadValue},
        {"mouth outside the face",
         [](std::string& b, std::size_t, std::size_t) { putU16At(b, kRigAt + 4, 640); }, TjmError::BadValue},
        {"zero face width", [](std::string& b, std::size_t, std::size_t) { putU16At(b, kRigAt, 0); },
         TjmError::BadValue},
        {"colour with a fourth byte",
         [](std::string& b, std::size_t, std::size_t) { putU32At(b, kRigAt + 30, 0x01000000u); }, TjmError::BadValue},
        {"bytes after the last section", [](std::string& b, std::size_t, std::size_t) { b += '\0'; },
         TjmError::TrailingData},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.damage(bytes, countAt, firstOverlayLengthAt);
        TjmFile out;
        EXPECT_EQ(readTjm(bytes, out), c.expected) << c.what;
    }
}

TEST(TjmFile, LayoutFieldsAddedLaterAreSkipped)
{
    std::string bytes = sampleBytes();
    bytes.insert(kPictureLengthAt, "\x01\x02\x03\x04", 4);
    putU32At(bytes, kRigLengthAt, 58 + 4);
    TjmFile out;
    ASSERT_EQ(readTjm(bytes, out), TjmError::None);
    EXPECT_EQ(out, sampleFile());
}

TEST(TjmFile, WriterRefusesContentItCouldNotReadBack)
{
    TjmFile badRig = sampleFile();
    badRig.rig.blinkMs = 10;
    TjmFile notAPicture = sampleFile();
    notAPicture.picture = "GIF89a....";
    TjmFile repeated = sampleFile();
    repeated.overlays.push_back({1, kPng});
    for (const TjmFile& file : {badRig, notAPicture, repeated})
        EXPECT_FALSE(writeTjm(file).has_value());

    test::TestInstallation installation(false);
    const std::string path = installation.folder() + "face.tjm";
    ASSERT_TRUE(writeTjmFile(path, sampleFile()));
    EXPECT_FALSE(writeTjmFile(path, badRig));
    TjmFile kept;
    EXPECT_TRUE(readTjmFile(path, kept)) << "a refused write leaves the old file";
}

TEST(TjmFile, TheInstalledDefaultFaceIsAValidPng)
{
    test::TestInstallation installation;
    TjmFile face;
    ASSERT_TRUE(readTjmFile(installation.folder() + "default_tjm.tjm", face));
    EXPECT_EQ(face.picture.substr(0, 4), "\x89PNG");
    EXPECT_TRUE(isValidRig(face.rig));
}

} // namespace
} // namespace pavonia
