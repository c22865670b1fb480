// The encoder's own failures, where the export cannot reach them from
// outside: a disk that fills up while the frames are written.
#include "export/video/VideoEncoder.h"

#include "ChildProcess.h"
#include "platform/StringTable.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>

namespace pavonia {
namespace {

TEST(VideoEncoderTest, AFullDiskIsAWriteFailureWithTheSystemsReason)
{
    const std::string path = (std::filesystem::temp_directory_path() / "pavonia-full-disk.mp4").string();
    const int status = test::inChildProcess([&] {
        test::limitFileSize(64 * 1024);
        VideoEncoder encoder;
        VideoSettings settings;
        settings.size = QSize(160, 120);
        settings.crf = 0;
        if (!encoder.open(path, "/picked/name.mp4", settings, {{0, 0, 1000, "One"}}))
            return false;
        // Noise does not compress: the file outgrows the limit.
        std::mt19937 random(7);
        QImage picture(settings.size, QImage::Format_RGB32);
        Result<> step;
        for (int frame = 0; frame < 250 && step; ++frame) {
            for (int y = 0; y < picture.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
                for (int x = 0; x < picture.width(); ++x)
                    row[x] = 0xff000000u | (random() & 0xffffffu);
            }
            encoder.setPicture(picture);
            step = encoder.writeFrame();
        }
        if (step)
            step = encoder.finish();
        return !step && step.failure().message == str::VideoWriteFailed && step.failure().systemError == EFBIG &&
               step.failure().text() == "Unable to write the video /picked/name.mp4.\nError: File too large";
    });
    std::filesystem::remove(path);
    EXPECT_EQ(status, 0);
}

} // namespace
} // namespace pavonia
