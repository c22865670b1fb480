#include "export/video/VideoExport.h"

#include "export/video/VideoEncoder.h"
#include "export/video/VideoFace.h"
#include "export/video/VideoNarration.h"
#include "export/video/VideoPage.h"
#include "platform/StringTable.h"
#include "platform/UniqueTempFolder.h"

#include <QPainter>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pavonia {

namespace {

constexpr int kSampleRate = 48000;

// A new empty file beside `target`, for the video until it is complete.
std::string temporaryBeside(const std::string& target)
{
    const fs::path path(target);
    std::string pattern = (path.parent_path() / ("." + path.filename().string() + ".video-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return {};
    // The permissions of a new file (mkstemp makes it private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return pattern;
}

// The slide on screen, with the pictures its frames are made from.
struct SlideImages {
    int slide = -1;
    QImage still;
    QImage outgoing;
    QImage incoming;
};

// Draws the frames: each slide's picture, its transition, the face.
class FrameMaker {
public:
    FrameMaker(const PageStills& stills, VideoNarration& narration, std::string folder)
        : stills_(stills), narration_(narration), folder_(std::move(folder))
    {
        if (!stills.faceRegion.isEmpty()) {
            region_ = QImage(stills.faceRegion.size(), QImage::Format_RGB32);
            layer_ = QImage(stills.faceRegion.size(), QImage::Format_ARGB32_Premultiplied);
            const QRectF box = stills.canvasBox;
            canvasToRegion_ = QTransform::fromScale(box.width() / stills.canvasPixels.width(),
                                                    box.height() / stills.canvasPixels.height()) *
                              QTransform::fromTranslate(box.left(), box.top()) * stills.pageToFrame *
                              QTransform::fromTranslate(-stills.faceRegion.left(), -stills.faceRegion.top());
        }
    }

    // Sets the encoder's next picture to the moment `ms`.
    void make(VideoEncoder& encoder, std::int64_t ms);

private:
    void show(int slide);
    void paintFace(const QImage& base, const FaceState& state);

    const PageStills& stills_;
    VideoNarration& narration_;
    std::string folder_;
    SlideImages images_;
    QImage frame_;
    QImage region_;
    QImage layer_;
    QImage pictureLayer_; // the session's face picture, drawn once
    QTransform canvasToRegion_;
    std::unique_ptr<VideoFace> face_;
    int faceSession_ = -1;
    std::optional<FaceState> shownFace_;
    int shownSlide_ = -1;
    bool shownTransition_ = false;
};

void FrameMaker::show(int slide)
{
    if (images_.slide == slide)
        return;
    const SlidePictures& pictures = stills_.slides[slide];
    images_.slide = slide;
    images_.still = framePictureFile(pictures.still, stills_.frameSize);
    images_.outgoing = pictures.outgoing.empty() ? QImage() : framePictureFile(pictures.outgoing, stills_.frameSize);
    images_.incoming = pictures.incoming.empty() ? QImage() : framePictureFile(pictures.incoming, stills_.frameSize);
}

void FrameMaker::paintFace(const QImage& base, const FaceState& state)
{
    const QRect area = stills_.faceRegion;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(region_.scanLine(y), base.constScanLine(area.top() + y) + area.left() * 4,
                    static_cast<std::size_t>(area.width()) * 4);
    std::memcpy(layer_.bits(), pictureLayer_.constBits(), static_cast<std::size_t>(layer_.sizeInBytes()));
    {
        QPainter painter(&layer_);
        face_->paintMoving(painter, canvasToRegion_, stills_.canvasPixels, state);
    }
    // Only what the talker area lets show of the canvas.
    for (int y = 0; y < area.height(); ++y) {
        auto* pixel = reinterpret_cast<QRgb*>(layer_.scanLine(y));
        const uchar* shown = stills_.faceCoverage.constScanLine(y);
        for (int x = 0; x < area.width(); ++x) {
            if (shown[x] == 255)
                continue;
            const unsigned a = shown[x];
            const QRgb p = pixel[x];
            pixel[x] = qRgba(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255, qAlpha(p) * a / 255);
        }
    }
    QPainter painter(&region_);
    painter.drawImage(0, 0, layer_);
}

void FrameMaker::make(VideoEncoder& encoder, std::int64_t ms)
{
    const VideoTimeline& line = stills_.timeline;
    const int k = line.slideAt(ms);
    const VideoTransition transition = line.transitionAt(ms);
    show(k);
    const int session = line.slides()[k].session;
    if (session != faceSession_) {
        const VideoSession& s = line.sessions()[session];
        face_ = std::make_unique<VideoFace>(s.talkingImage.empty() ? std::string() : folder_ + s.talkingImage,
                                            narration_.framesOf(session), static_cast<std::uint32_t>(session + 1));
        faceSession_ = session;
        shownFace_.reset();
        if (!region_.isNull()) {
            pictureLayer_ = QImage(region_.size(), QImage::Format_ARGB32_Premultiplied);
            pictureLayer_.fill(Qt::transparent);
            QPainter painter(&pictureLayer_);
            face_->paintPicture(painter, canvasToRegion_, stills_.canvasPixels);
        }
    }
    const bool running = transition.type >= 0 && !images_.outgoing.isNull();
    const QImage* base = &images_.still;
    bool baseChanged = false;
    if (running) {
        // Into the same buffer every time: no new picture a frame.
        const QImage& incoming = images_.incoming.isNull() ? images_.still : images_.incoming;
        if (frame_.size() != incoming.size())
            frame_ = QImage(incoming.size(), QImage::Format_RGB32);
        std::memcpy(frame_.bits(), incoming.constBits(), static_cast<std::size_t>(incoming.sizeInBytes()));
        paintOutgoing(frame_, images_.outgoing, stills_.slides[k].boxes, stills_.pageToFrame, transition.type,
                      transition.progress, k);
        encoder.setPicture(frame_);
        base = &frame_;
        baseChanged = true;
    } else if (k != shownSlide_ || shownTransition_) {
        encoder.setPicture(images_.still);
        baseChanged = true;
    }
    shownSlide_ = k;
    shownTransition_ = running;
    if (!face_ || region_.isNull())
        return;
    const FaceState state = face_->stateAt(ms - line.sessions()[session].startMs);
    if (!baseChanged && shownFace_ && *shownFace_ == state)
        return;
    paintFace(*base, state);
    encoder.setRegion(stills_.faceRegion, region_);
    shownFace_ = state;
}

} // namespace

std::string VideoProgress::text() const
{
    switch (phase) {
    case Phase::Publishing:
        return StringTable::text(str::VideoPublishing);
    case Phase::Photographing:
        return StringTable::format(str::VideoPhotographing, {std::to_string(done), std::to_string(total)});
    case Phase::Encoding:
        break;
    }
    char left[32] = "?";
    if (secondsLeft >= 0) {
        const long seconds = std::lround(secondsLeft);
        std::snprintf(left, sizeof left, "%ld:%02ld", seconds / 60, seconds % 60);
    }
    return StringTable::format(str::VideoEncoding, {std::to_string(done), std::to_string(total), left});
}

VideoExport::VideoExport(PublishContext context, VideoOptions options,
                         std::function<bool(const VideoProgress&)> progress)
    : context_(std::move(context)), options_(std::move(options)), progress_(std::move(progress))
{
    // The voices as published at the best sound quality, the pictures
    // without loss beyond their own: the video compresses them once more.
    context_.qualities = ExportQualities{1, 100};
}

std::optional<QSize> VideoExport::parseSize(const std::string& text)
{
    int width = 0, height = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2)
        return std::nullopt;
    if (width < 2 || height < 2 || width > 8192 || height > 8192 || width % 2 || height % 2)
        return std::nullopt;
    return QSize(width, height);
}

Result<std::uint64_t> VideoExport::exportTo(const std::string& outputPath)
{
    if (progress_ && !progress_({VideoProgress::Phase::Publishing, 0, 0, -1}))
        return Failure(str::VideoCancelled);
    std::string folder;
    Publisher publisher(context_);
    PublishRequest request;
    request.startAtFirstSlide = true;
    request.destination = &folder;
    Result<std::uint64_t> result = Failure(str::VideoNotPublished);
    if (publisher.PublishProject(request))
        result = exportPublished(folder, publisher.publishedPage(), outputPath);
    if (!folder.empty())
        deleteUniqueTempFolder(folder, context_.document.systemTempFolder());
    return result;
}

Result<std::uint64_t> VideoExport::exportPublished(const std::string& folder, const std::string& page,
                                                   const std::string& outputPath)
{
    VideoPage::Request request;
    request.pagePath = page;
    request.pictureFolder = folder;
    request.frameSize = options_.size;
    request.untilMs = options_.sample ? VideoOptions::kSampleMs : -1;
    request.progress = [this](const PhotographProgress& done) {
        return !progress_ || progress_({VideoProgress::Phase::Photographing, done.done, done.total, -1});
    };
    Result<PageStills> photographed = VideoPage::photograph(request);
    if (!photographed)
        return photographed.failure();
    const PageStills& stills = *photographed;
    const VideoTimeline& line = stills.timeline;
    const std::int64_t endMs =
        options_.sample ? std::min(VideoOptions::kSampleMs, line.durationMs()) : line.durationMs();
    const int fps = options_.fps;
    const std::int64_t frames = std::max<std::int64_t>(1, std::llround(endMs * fps / 1000.0));
    const std::int64_t samples = endMs * kSampleRate / 1000;

    const std::string temporary = temporaryBeside(outputPath);
    if (temporary.empty())
        return Failure::system(str::VideoWriteFailed, {outputPath});
    VideoSettings settings;
    settings.size = stills.frameSize;
    settings.fps = fps;
    settings.crf = options_.crf;
    settings.preset = options_.preset;
    settings.sampleRate = kSampleRate;
    Result<std::uint64_t> result = Failure(str::VideoCancelled);
    {
        VideoEncoder encoder;
        VideoNarration narration(line, folder, kSampleRate);
        FrameMaker maker(stills, narration, folder);
        std::vector<float> sound;
        Result<> step = encoder.open(temporary, outputPath, settings, line.chapters(endMs));
        const auto started = std::chrono::steady_clock::now();
        bool cancelled = false;
        for (std::int64_t n = 0; step && n < frames; ++n) {
            maker.make(encoder, n * 1000 / fps);
            step = encoder.writeFrame();
            const std::int64_t soundUntil = std::min(samples, (n + 1) * kSampleRate / fps);
            if (step && soundUntil > encoder.soundWritten()) {
                sound.resize(static_cast<std::size_t>(soundUntil - encoder.soundWritten()));
                narration.read(sound.data(), sound.size());
                step = encoder.writeSound(sound.data(), sound.size());
            }
            if (progress_ && (n % 5 == 0 || n + 1 == frames)) {
                const double spent =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
                const double left = n > 0 ? spent / double(n + 1) * double(frames - n - 1) : -1;
                if (!progress_({VideoProgress::Phase::Encoding, n + 1, frames, left})) {
                    cancelled = true;
                    break;
                }
            }
        }
        if (step && !cancelled && samples > encoder.soundWritten()) {
            sound.resize(static_cast<std::size_t>(samples - encoder.soundWritten()));
            narration.read(sound.data(), sound.size());
            step = encoder.writeSound(sound.data(), sound.size());
        }
        if (step && !cancelled)
            step = encoder.finish();
        if (!step)
            result = step.failure();
        else if (!cancelled)
            result = std::uint64_t(0);
    }
    std::error_code ec;
    if (result) {
        fs::rename(temporary, outputPath, ec);
        if (ec) {
            result = Failure(str::VideoWriteFailed, {outputPath}, ec.value());
        } else {
            result = static_cast<std::uint64_t>(fs::file_size(outputPath, ec));
            return result;
        }
    }
    fs::remove(temporary, ec);
    return result;
}

} // namespace pavonia
