#pragma once
// Writes an MP4 file through FFmpeg's libraries: H.264 video in yuv420p
// (libx264) at a constant rate factor, AAC sound, chapters, and the index
// at the front of the file ("+faststart") so that a player can start before
// the whole file has arrived. Pictures come in as 32-bit RGB; a picture can
// also change only in one region, which is converted alone.
#include "export/video/VideoTimeline.h"
#include "platform/Result.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pavonia {

struct VideoSettings {
    QSize size;
    int fps = 25;
    int crf = 23;
    std::string preset = "veryfast";
    int sampleRate = 48000; // of the sound; one channel
};

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Creates `path` with a video and a sound stream and the chapters
    // (milliseconds on the video's timeline); messages name the file
    // `shownAs`.
    Result<> open(const std::string& path, const std::string& shownAs, const VideoSettings& settings,
                  const std::vector<VideoChapter>& chapters);

    // The next frame's picture, made from `picture` (RGB32 at the video's
    // size).
    void setPicture(const QImage& picture);
    // Changes only `region` (even edges) of the next frame's picture to
    // `part` (RGB32 of the region's size).
    void setRegion(const QRect& region, const QImage& part);
    // Encodes the picture set as the next frame.
    Result<> writeFrame();
    // Appends sound: mono samples at the settings' rate, -1 to 1.
    Result<> writeSound(const float* samples, std::size_t count);
    // The sound samples written so far.
    std::int64_t soundWritten() const;
    // Ends the streams and writes the index; the file is complete when it
    // returns success.
    Result<> finish();

private:
    struct State;
    Result<> fail(int error) const;
    std::unique_ptr<State> state_;
};

} // namespace pavonia
