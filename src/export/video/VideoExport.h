#pragma once
// The open project as an MP4 video (H.264 and AAC): the published page
// photographed once per slide in a headless Chromium, the talking face and
// the transitions drawn over those pictures frame by frame as the page
// draws them, the sessions' voices where the page plays them, one chapter
// per slide. The file is written beside the picked name under a temporary
// name and renamed into place only when complete, so a failed or cancelled
// export leaves nothing under the picked name (and an older file there as
// it was). The same code serves the program and `pavonia-cli export`.
#include "platform/Result.h"
#include "publish/Publisher.h"

#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pavonia {

struct VideoOptions {
    std::optional<QSize> size; // even numbers; none: the page's own size
    int fps = 25;
    int crf = 23;
    bool sample = false;       // only the first kSampleMs
    std::string preset = "veryfast";

    static constexpr std::int64_t kSampleMs = 30000;
};

struct VideoProgress {
    enum class Phase { Publishing, Photographing, Encoding };
    Phase phase = Phase::Publishing;
    std::int64_t done = 0;  // pictures taken, or frames made
    std::int64_t total = 0;
    double secondsLeft = -1; // while encoding, once it can be told

    // What the progress line says: the stage, the picture or the frame being
    // made, the time left.
    std::string text() const;
};

class VideoExport {
public:
    // `progress` is told how far the export is; false cancels it.
    VideoExport(PublishContext context, VideoOptions options,
                std::function<bool(const VideoProgress&)> progress = {});

    // Writes the video to `outputPath`; its size in bytes, or why not
    // (str::VideoCancelled when cancelled).
    Result<std::uint64_t> exportTo(const std::string& outputPath);

    // Reads "WxH" (two even numbers from 2 to 8192).
    static std::optional<QSize> parseSize(const std::string& text);

private:
    Result<std::uint64_t> exportPublished(const std::string& folder, const std::string& page,
                                          const std::string& outputPath);

    PublishContext context_;
    VideoOptions options_;
    std::function<bool(const VideoProgress&)> progress_;
};

} // namespace pavonia
