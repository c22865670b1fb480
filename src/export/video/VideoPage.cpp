#include "export/video/VideoPage.h"

#include "export/video/HeadlessChromium.h"
#include "platform/FileOps.h"
#include "platform/StringTable.h"

#include <QUrl>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

using nlohmann::json;

namespace pavonia {

namespace {

// Hides what is not the presentation (the control bar under the page, the
// transcript, the start overlay) and, while the class is set, the face's
// canvas, which the frames draw themselves.
constexpr const char* kPageStyle = R"JS(
document.addEventListener("DOMContentLoaded", function () {
    var style = document.createElement("style");
    style.textContent = "#PlayerBar, #TranscriptPanel, #StartOverlay { display: none !important; }" +
        " html.pv-video-stills #TalkerCanvas { visibility: hidden !important; }" +
        " html, body { overflow: hidden !important; }";
    document.head.appendChild(style);
    document.documentElement.classList.add("pv-video-stills");
});
)JS";

// The player's presentation, with each sub-topic as plain text.
constexpr const char* kReadTimeline = R"JS((function () {
    var P = PavoniaPlayer;
    var holder = document.createElement("template");
    function plain(html) {
        holder.innerHTML = html || "";
        return holder.content.textContent.replace(/\s+/g, " ").trim();
    }
    return {
        sessions: P.sessions.map(function (s) {
            return { startMs: s.startMs, durationMs: s.durationMs, talkingImage: s.talkingImage,
                     talkingMessage: s.talkingMessage, firstSlide: s.firstSlide, slideCount: s.slideCount,
                     voice: !!s.talkingMessage && s.voice !== "none" && s.voice !== "failed" };
        }),
        slides: P.slides.map(function (k) {
            return { session: k.session.index, startMs: k.startMs, offsetMs: k.offsetMs, delayMs: k.delayMs,
                     transition: k.transition, title: plain(k.subTopic), subTopic: !!k.subTopic,
                     media: !!k.media, description: !!k.description };
        })
    };
})())JS";

// The box of an element relative to the page, in the page's pixels.
constexpr const char* kBoxes = R"JS((function () {
    var page = document.getElementById("BGLayer").getBoundingClientRect();
    function box(id) {
        var element = document.getElementById(id);
        if (!element || !element.offsetParent)
            return [0, 0, 0, 0];
        var r = element.getBoundingClientRect();
        var area = element.parentNode;
        var w = element.offsetWidth || (area ? area.clientWidth : 0);
        var h = element.offsetHeight || (area ? area.clientHeight : 0);
        return [r.left - page.left, r.top - page.top, w, h];
    }
    var canvas = document.getElementById("TalkerCanvas");
    return { page: [page.left, page.top], areas: [box("SubTopic"), box("MediaContent"), box("Description")],
             canvas: box("TalkerCanvas"), canvasPixels: canvas ? [canvas.width, canvas.height] : [0, 0] };
})())JS";

// Settles after the page has handled what is waiting (a picture's load
// event) and drawn twice.
constexpr const char* kSettle =
    "new Promise(function (done) { setTimeout(function () { requestAnimationFrame(function () {"
    " requestAnimationFrame(function () { done(true); }); }); }, 0); })";

int even(double value) { return std::max(2, static_cast<int>(std::lround(value / 2)) * 2); }

QRectF rectOf(const json& box)
{
    if (!box.is_array() || box.size() != 4)
        return {};
    return QRectF(box[0].get<double>(), box[1].get<double>(), box[2].get<double>(), box[3].get<double>());
}

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

class Photographer {
public:
    Photographer(Chromium& browser, const VideoPage::Request& request)
        : request_(request), tab_(browser, BrowserPage::Viewport{1280, 720, false, 1.0})
    {
    }

    Result<PageStills> run();

private:
    void settle()
    {
        tab_.waitFor("window.PavoniaPlayer && PavoniaPlayer.state().ready", 15000);
        tab_.eval(kSettle);
    }
    // The picture of moment `ms`, kept in the file `name`.
    Result<std::string> renderAt(double ms, const std::string& name)
    {
        tab_.eval("PavoniaPlayer.renderAt(" + number(ms) + ")");
        settle();
        const std::string path = request_.pictureFolder + name;
        if (!writeFileReplacing(path, shoot(), LinkTarget::Replace))
            return Failure::system(str::VideoWriteFailed, {path});
        return path;
    }
    std::string shoot()
    {
        json params = {{"format", "png"},
                       {"optimizeForSpeed", true},
                       {"clip",
                        {{"x", pageOrigin_.x()},
                         {"y", pageOrigin_.y()},
                         {"width", stills_.pageSize.width()},
                         {"height", stills_.pageSize.height()},
                         {"scale", 1}}}};
        const json result = tab_.browser().call("Page.captureScreenshot", params, tab_.session());
        return decodeBase64(result["data"].get<std::string>());
    }
    bool tell()
    {
        ++progress_.done;
        return !request_.progress || request_.progress(progress_);
    }
    void measureFace();

    const VideoPage::Request& request_;
    BrowserPage tab_;
    PageStills stills_;
    QPointF pageOrigin_;
    PhotographProgress progress_;
};

void Photographer::measureFace()
{
    const json boxes = tab_.eval(kBoxes);
    stills_.canvasBox = rectOf(boxes["canvas"]);
    stills_.canvasPixels = QSize(boxes["canvasPixels"][0].get<int>(), boxes["canvasPixels"][1].get<int>());
    if (stills_.canvasBox.isEmpty() || stills_.canvasPixels.isEmpty())
        return;
    // The canvas filled black, then white: what shows of it, pixel by pixel.
    std::string shots[2];
    for (int i = 0; i < 2; ++i) {
        tab_.eval(std::string("(function () { var c = document.getElementById('TalkerCanvas');"
                              " document.documentElement.classList.remove('pv-video-stills');"
                              " var x = c.getContext('2d'); x.setTransform(1, 0, 0, 1, 0, 0);"
                              " x.fillStyle = '") +
                  (i == 0 ? "#000000" : "#ffffff") +
                  "'; x.fillRect(0, 0, c.width, c.height); c.pavoniaKey = ''; return true; })()");
        tab_.eval(kSettle);
        shots[i] = shoot();
    }
    tab_.eval("document.documentElement.classList.add('pv-video-stills'), true");
    const QImage black = framePicture(shots[0], stills_.frameSize);
    const QImage white = framePicture(shots[1], stills_.frameSize);
    const QRect frame(QPoint(0, 0), stills_.frameSize);
    QRect region = stills_.pageToFrame.mapRect(stills_.canvasBox).toAlignedRect().adjusted(-1, -1, 1, 1) & frame;
    // Even edges, so the region is whole in the halved colour planes.
    region.setLeft(region.left() & ~1);
    region.setTop(region.top() & ~1);
    region.setWidth((region.width() + 1) & ~1);
    region.setHeight((region.height() + 1) & ~1);
    region &= frame;
    if (region.width() < 2 || region.height() < 2)
        return;
    QImage coverage(region.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < region.height(); ++y) {
        const auto* b = reinterpret_cast<const QRgb*>(black.constScanLine(region.top() + y)) + region.left();
        const auto* w = reinterpret_cast<const QRgb*>(white.constScanLine(region.top() + y)) + region.left();
        uchar* out = coverage.scanLine(y);
        for (int x = 0; x < region.width(); ++x) {
            const int shown = (qRed(w[x]) + qGreen(w[x]) + qBlue(w[x]) - qRed(b[x]) - qGreen(b[x]) - qBlue(b[x])) / 3;
            out[x] = static_cast<uchar>(std::clamp(shown, 0, 255));
        }
    }
    stills_.faceRegion = region;
    stills_.faceCoverage = coverage;
}

Result<PageStills> Photographer::run()
{
    tab_.addInitScript(kPageStyle);
    const std::string url = QUrl::fromLocalFile(QString::fromStdString(request_.pagePath)).toString(QUrl::FullyEncoded).toStdString();
    if (!tab_.open(url, 30000) || !tab_.waitFor("window.PavoniaPlayer && PavoniaPlayer.state().slide > 0", 20000))
        return Failure(str::VideoPageUnusable, {request_.pagePath});
    tab_.waitFor("PavoniaPlayer.state().ready", 20000);

    const json size = tab_.eval("(function () { var p = document.getElementById('BGLayer');"
                                " return [p.offsetWidth, p.offsetHeight]; })()");
    stills_.pageSize = QSize(std::max(1, size[0].get<int>()), std::max(1, size[1].get<int>()));
    stills_.frameSize = request_.frameSize.value_or(QSize(even(stills_.pageSize.width()), even(stills_.pageSize.height())));
    const double sx = double(stills_.frameSize.width()) / stills_.pageSize.width();
    const double sy = double(stills_.frameSize.height()) / stills_.pageSize.height();
    stills_.pageToFrame = QTransform::fromScale(sx, sy);
    // The page at its own size, drawn at the video's: the pictures come at
    // the video's resolution.
    tab_.setViewport(BrowserPage::Viewport{stills_.pageSize.width(), stills_.pageSize.height(), false, sx});
    tab_.eval(kSettle);

    auto timeline = VideoTimeline::fromJson(tab_.eval(kReadTimeline));
    if (!timeline || timeline->durationMs() <= 0)
        return Failure(str::VideoNothingToShow);
    stills_.timeline = std::move(*timeline);
    const VideoTimeline& line = stills_.timeline;
    const std::int64_t until = request_.untilMs < 0 ? line.durationMs() : request_.untilMs;

    // The first picture stops the show, so nothing moves while the
    // pictures are taken.
    tab_.eval("PavoniaPlayer.renderAt(0), true");
    settle();
    const json origin = tab_.eval(kBoxes)["page"];
    pageOrigin_ = QPointF(origin[0].get<double>(), origin[1].get<double>());

    stills_.slides.resize(line.slides().size());
    std::vector<VideoChapter> shown = line.chapters(until);
    progress_.total = 2;
    for (const VideoChapter& chapter : shown)
        progress_.total += line.transitionAt(chapter.startMs).type >= 0 ? 3 : 1;

    measureFace();
    progress_.done = 2;
    for (const VideoChapter& chapter : shown) {
        const int k = chapter.slide;
        SlidePictures& pictures = stills_.slides[k];
        const VideoTransition transition = line.transitionAt(chapter.startMs);
        const double length = line.transitionLengthMs(k);
        const std::string name = "video-slide-" + std::to_string(k + 1);
        Result<std::string> taken = renderAt(chapter.startMs + (transition.type >= 0 ? length : 0.0), name + ".png");
        if (!taken)
            return taken.failure();
        pictures.still = *taken;
        if (!tell())
            return Failure(str::VideoCancelled);
        if (transition.type < 0)
            continue;
        // The transition's start: its slide boxes, and the outgoing slide's
        // picture. Where every area is filled or empty on both slides alike,
        // the outgoing slide's own picture shows the same in the areas.
        const VideoSlide& from = line.slides()[transition.from];
        const VideoSlide& to = line.slides()[k];
        const bool sameAreas =
            from.subTopic == to.subTopic && from.media == to.media && from.description == to.description;
        const std::string& before = stills_.slides[transition.from].still;
        if (sameAreas && !before.empty()) {
            tab_.eval("PavoniaPlayer.renderAt(" + number(chapter.startMs) + "), true");
            pictures.outgoing = before;
        } else {
            if (!(taken = renderAt(chapter.startMs, name + "-outgoing.png")))
                return taken.failure();
            pictures.outgoing = *taken;
        }
        const json boxes = tab_.eval(kBoxes)["areas"];
        for (std::size_t i = 0; i < pictures.boxes.size(); ++i)
            pictures.boxes[i] = rectOf(boxes[i]);
        if (!tell())
            return Failure(str::VideoCancelled);
        if (!sameAreas) {
            if (!(taken = renderAt(chapter.startMs + length * 0.999, name + "-incoming.png")))
                return taken.failure();
            pictures.incoming = *taken;
        }
        if (!tell())
            return Failure(str::VideoCancelled);
    }
    return std::move(stills_);
}

} // namespace

QImage framePicture(const std::string& png, const QSize& size)
{
    QImage picture;
    picture.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
    if (picture.isNull()) {
        picture = QImage(size, QImage::Format_RGB32);
        picture.fill(Qt::black);
        return picture;
    }
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture.convertToFormat(QImage::Format_RGB32);
}

QImage framePictureFile(const std::string& path, const QSize& size)
{
    std::string bytes;
    if (path.empty() || readWholeFile(path, std::uint64_t(1) << 30, bytes) != FileRead::Ok)
        bytes.clear();
    return framePicture(bytes, size);
}

Result<PageStills> VideoPage::photograph(const Request& request)
{
    if (findChromium().empty())
        return Failure(str::VideoNoBrowser);
    try {
        ChromiumOptions options;
        options.autoplay = true;
        options.extraArguments = {"--mute-audio", "--hide-scrollbars", "--force-color-profile=srgb"};
        Chromium browser(options);
        Photographer photographer(browser, request);
        return photographer.run();
    } catch (const DevToolsError& error) {
        return Failure(str::VideoBrowserFailed, {error.what()});
    } catch (const json::exception& error) {
        return Failure(str::VideoBrowserFailed, {error.what()});
    }
}

} // namespace pavonia
