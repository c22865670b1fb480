// Whole video exports through pavonia-cli, checked from outside: the streams
// and chapters with ffprobe, the pictures against the page's own picture of
// the same moment (renderAt in headless Chromium), the sound decoded with
// ffmpeg.
#include "PlayerFixture.h"

#include <QImage>

#include <cmath>
#include <filesystem>
#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using nlohmann::json;

namespace pavonia::test {
namespace {

// A frame of the video and the page's picture of the same moment differ by
// at most this much on average (per colour value, 0 to 255): H.264 at its
// default quality and the antialiasing of the two painters stay well under
// it, while a frame of the wrong slide or a misplaced face is far over it.
constexpr double kSameMoment = 4.0;

bool haveTools()
{
    return runCommand("ffprobe -version >/dev/null 2>&1 && ffmpeg -version >/dev/null 2>&1").status == 0;
}

json probe(const std::string& file)
{
    const CommandRun run =
        runCommand("ffprobe -v error -print_format json -show_streams -show_format -show_chapters '" + file + "'");
    return json::parse(run.out, nullptr, false);
}

// Frames `numbers` of `file`, decoded.
std::vector<QImage> frames(const std::string& file, const std::vector<std::int64_t>& numbers, const std::string& folder)
{
    std::string select;
    for (const std::int64_t n : numbers)
        select += (select.empty() ? "" : "+") + std::string("eq(n\\,") + std::to_string(n) + ")";
    runCommand("ffmpeg -v error -y -i '" + file + "' -vf \"select='" + select + "'\" -vsync 0 '" + folder +
               "frame-%03d.png'");
    std::vector<QImage> out;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%03zu.png", i + 1);
        out.push_back(QImage(QString::fromStdString(folder + name)).convertToFormat(QImage::Format_RGB32));
    }
    return out;
}

// The sound of `file` as one channel of floats at 48 kHz.
std::vector<float> sound(const std::string& file)
{
    const CommandRun run = runCommand("ffmpeg -v error -i '" + file + "' -ac 1 -ar 48000 -f f32le -");
    std::vector<float> out(run.out.size() / sizeof(float));
    std::memcpy(out.data(), run.out.data(), out.size() * sizeof(float));
    return out;
}

double rms(const std::vector<float>& samples, std::int64_t fromMs, std::int64_t toMs)
{
    const std::size_t from = static_cast<std::size_t>(fromMs * 48), to = std::min(samples.size(), std::size_t(toMs * 48));
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / double(to - from)) : -1;
}

double meanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
                   std::abs(qBlue(p[x]) - qBlue(q[x]));
    }
    return sum / (3.0 * a.width() * a.height());
}

class VideoExportTest : public BrowserTest {
protected:
    void SetUp() override
    {
        if (!haveTools())
            GTEST_SKIP() << "ffprobe and ffmpeg are not installed";
        BrowserTest::SetUp();
    }

    // Exports `project` as a video at `out`; the command's output.
    CommandRun exportVideo(const std::string& project, const std::string& out, const std::string& options = "")
    {
        return runCliIn(installation, "export '" + project + "' --type video '" + out + "' " + options);
    }

    // The page of `project` in a tab where it stands at its own size.
    BrowserPage& openPage(const std::string& project)
    {
        BrowserPage& tab = newPage(BrowserPage::Viewport{800, 800, false, 1.0});
        openPlayer(tab, fileUrl(previewPage(installation, project)));
        EXPECT_TRUE(tab.waitFor("PavoniaPlayer.state().ready", 15000));
        return tab;
    }

    // The page's own picture of moment `ms`.
    QImage pageAt(BrowserPage& tab, std::int64_t ms)
    {
        tab.eval("PavoniaPlayer.renderAt(" + std::to_string(ms) + "), true");
        tab.waitFor("PavoniaPlayer.state().ready", 15000);
        tab.eval("new Promise(function (done) { requestAnimationFrame(function () {"
                 " requestAnimationFrame(function () { done(true); }); }); })");
        const json box = tab.eval("(function () { var r = document.getElementById('BGLayer').getBoundingClientRect();"
                                  " return {x: r.left, y: r.top, width: r.width, height: r.height}; })()");
        const std::string png = tab.screenshot(box);
        QImage picture;
        picture.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
        return picture.convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(VideoExportTest, TheSampleShowsThePageMomentByMoment)
{
    const std::string out = installation.root() + "sample.mp4";
    const CommandRun run = exportVideo(PAVONIA_SAMPLE_PROJECT, out);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Making frame"), std::string::npos) << "no progress line";

    BrowserPage& tab = openPage(PAVONIA_SAMPLE_PROJECT);
    const double durationMs = state(tab)["durationMs"].get<double>();
    const json slides = tab.eval("PavoniaPlayer.slides.map(function (k) { return [k.startMs, k.delayMs]; })");

    const json info = probe(out);
    ASSERT_TRUE(info.is_object()) << "ffprobe cannot read the video";
    int video = 0, audio = 0;
    for (const json& stream : info["streams"]) {
        if (stream["codec_type"] == "video") {
            ++video;
            EXPECT_EQ(stream["codec_name"], "h264");
            EXPECT_EQ(stream["pix_fmt"], "yuv420p");
        } else if (stream["codec_type"] == "audio") {
            ++audio;
            EXPECT_EQ(stream["codec_name"], "aac");
        }
    }
    EXPECT_EQ(video, 1);
    EXPECT_EQ(audio, 1);
    EXPECT_NEAR(std::stod(info["format"]["duration"].get<std::string>()) * 1000, durationMs, 100);
    // The index comes first, so a player starts before the whole file is there.
    std::ifstream file(out, std::ios::binary);
    std::string head(4096, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    EXPECT_LT(head.find("moov"), head.find("mdat"));

    // One chapter per slide, named by its sub-topic, starting with it.
    const json& chapters = info["chapters"];
    ASSERT_EQ(chapters.size(), slides.size());
    EXPECT_EQ(chapters[1]["tags"]["title"], "Sunrise");
    std::vector<std::int64_t> middles;
    for (std::size_t k = 0; k < slides.size(); ++k) {
        EXPECT_NEAR(std::stod(chapters[k]["start_time"].get<std::string>()) * 1000, slides[k][0].get<double>(), 1);
        const double end = k + 1 < slides.size() ? slides[k + 1][0].get<double>() : durationMs;
        middles.push_back(std::llround((slides[k][0].get<double>() + end) / 2 / 40)); // frame numbers at 25 fps
    }

    // The middle of each slide, face and all, as the page draws it.
    const std::vector<QImage> made = frames(out, middles, installation.root());
    std::vector<QImage> page;
    for (std::size_t k = 0; k < middles.size(); ++k) {
        page.push_back(pageAt(tab, middles[k] * 40));
        EXPECT_LT(meanDifference(made[k], page[k]), kSameMoment) << "slide " << k + 1;
    }
    // The measure tells slides apart.
    EXPECT_GT(meanDifference(made[1], page[2]), kSameMoment * 2);
}

// Session 1 speaks bursts (300 ms of every 600) for 2.4 s over two slides
// of 1 s; session 2 keeps the muted default message over slides of 1.5 s
// and 1 s, with transitions.
TEST_F(VideoExportTest, TheSoundIsTheNarrationWhereThePagePlaysIt)
{
    const std::string wave = installation.root() + "bursts.wav";
    writeBurstWave(wave, 2400, 300, 600, 16000);
    PresentationPlan plan;
    plan.sessions = {
        {{{1.0f, -1, "", "One", ""}, {1.0f, 6, "", "Two", ""}}},
        {{{1.5f, 17, "", "Three", "quiet"}, {1.0f, 2, "", "Four", ""}}},
    };
    const std::string project = makeProject(installation, plan, {wave, ""});
    const std::string out = installation.root() + "deck.mp4";
    const CommandRun run = exportVideo(project, out, "--size 320x240 --fps 10");
    ASSERT_EQ(run.status, 0) << run.out;

    const json info = probe(out);
    EXPECT_NEAR(std::stod(info["format"]["duration"].get<std::string>()), 4.9, 0.1);
    for (const json& stream : info["streams"])
        if (stream["codec_type"] == "video") {
            EXPECT_EQ(stream["width"], 320);
            EXPECT_EQ(stream["r_frame_rate"], "10/1");
        }
    const std::vector<float> samples = sound(out);
    for (int burst = 0; burst < 4; ++burst) {
        const int at = burst * 600;
        EXPECT_GT(rms(samples, at + 50, at + 250), 0.02) << "burst " << burst;
        EXPECT_LT(rms(samples, at + 360, at + 540), 0.002) << "gap after burst " << burst;
    }
    // The muted session: silence for its slides' delays.
    EXPECT_LT(rms(samples, 2450, 4850), 0.0005);
}

TEST_F(VideoExportTest, TheSampleModeKeepsTheFirstThirtySeconds)
{
    const std::string out = installation.root() + "sample-mode.mp4";
    const CommandRun run = exportVideo(PAVONIA_SAMPLE_PROJECT, out, "--sample --size 320x240");
    ASSERT_EQ(run.status, 0) << run.out;
    const json info = probe(out);
    EXPECT_NEAR(std::stod(info["format"]["duration"].get<std::string>()), 30.0, 0.1);
    ASSERT_FALSE(info["chapters"].empty());
    EXPECT_NEAR(std::stod(info["chapters"].back()["end_time"].get<std::string>()), 30.0, 0.01);
}

// Slides with a wipe, a fade, a circle and a random transition, the third
// without a description (its area stays up while the slide before leaves).
TEST_F(VideoExportTest, TransitionsRunAsOnThePage)
{
    const std::string picture = installation.root() + "picture.bmp";
    writeTestPicture(picture, 3);
    PresentationPlan plan;
    plan.sessions = {{{{1.0f, -1, "", "One", "first"},
                       {1.0f, 6, picture, "Two", "second"},
                       {1.0f, 17, "", "Three", ""},
                       {1.0f, 3, picture, "Four", "fourth"},
                       {1.0f, 18, "", "Five", "fifth"}}}};
    const std::string project = makeProject(installation, plan);
    const std::string out = installation.root() + "transitions.mp4";
    const CommandRun run = exportVideo(project, out);
    ASSERT_EQ(run.status, 0) << run.out;

    BrowserPage& tab = openPage(project);
    // Each transition takes 500 ms (half its slide's second): frames a
    // quarter and three quarters of the way in.
    std::vector<std::int64_t> numbers;
    for (int slide = 1; slide < 5; ++slide)
        for (const int ms : {120, 360})
            numbers.push_back((slide * 1000 + ms) / 40);
    const std::vector<QImage> made = frames(out, numbers, installation.root());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const QImage page = pageAt(tab, numbers[i] * 40);
        const json shown = state(tab);
        ASSERT_LT(shown["transitionProgress"].get<double>(), 1) << "no transition at " << numbers[i] * 40 << " ms";
        EXPECT_LT(meanDifference(made[i], page), kSameMoment) << "transition " << shown["transition"] << " at "
                                                              << numbers[i] * 40 << " ms";
    }
}

// What a folder holds besides `keep`: the export's temporaries must be gone.
std::vector<std::string> leftBeside(const std::string& folder, const std::string& name)
{
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find("." + name + ".") == 0)
            left.push_back(entry.path().string());
    return left;
}

TEST_F(VideoExportTest, ACancelledExportLeavesTheOldFileAndNoOther)
{
    const std::string out = installation.root() + "cancelled.mp4";
    std::ofstream(out) << "an older video";
    const std::string log = installation.root() + "cancelled.log";
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string command = std::string("exec ") + PAVONIA_CLI + " --home '" + installation.folder() +
                                    "' export '" + PAVONIA_SAMPLE_PROJECT + "' --type video '" + out + "' >'" + log +
                                    "' 2>&1";
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(child, 0);
    // Ctrl+C once the frames are being made.
    std::string said;
    for (int i = 0; i < 600 && said.find("Making frame") == std::string::npos; ++i) {
        ::usleep(50000);
        std::ifstream in(log);
        said.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(log);
    said.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("The video export was cancelled. Nothing was written."), std::string::npos) << said;
    std::ifstream old(out);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>()), "an older video");
    EXPECT_EQ(leftBeside(installation.root(), "cancelled.mp4"), std::vector<std::string>());
}

TEST_F(VideoExportTest, AFolderThatCannotBeWrittenIsSaidAndNothingIsLeft)
{
    const std::string out = installation.root() + "missing/video.mp4";
    const CommandRun run = exportVideo(PAVONIA_SAMPLE_PROJECT, out, "--sample");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Unable to write the video " + out + ".\nError: No such file or directory"),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(fs::exists(installation.root() + "missing"));
}

TEST_F(VideoExportTest, OptionsOutOfRangeAreRefused)
{
    for (const char* options : {"--size 321x240", "--size 0x0", "--size big", "--fps 0", "--crf 52"}) {
        const std::string out = installation.root() + "refused.mp4";
        EXPECT_EQ(exportVideo(PAVONIA_SAMPLE_PROJECT, out, options).status, 2) << options;
        EXPECT_FALSE(fs::exists(out)) << options;
    }
    const CommandRun web = runCliIn(installation, std::string("export '") + PAVONIA_SAMPLE_PROJECT +
                                                      "' --type web '" + installation.root() + "w.htm' --fps 25");
    EXPECT_EQ(web.status, 2) << "a page export takes no frame rate";
}

} // namespace
} // namespace pavonia::test
