// Builds the sample project bundled with the installation: two sessions of
// slides with texts and pictures, written as a project file.
// Usage: make_sample_project INSTALLATION-FOLDER OUTPUT.pvp [NARRATION-FOLDER]
// With a narration folder, each session's narration is spoken with espeak-ng
// into NARRATION-FOLDER/session<N>.wav, one line a slide, and each slide
// stays up as long as its line (and a pause) lasts; the build then takes
// the waves in as the sessions' talking messages with `voice import`.
#include "PictureFiles.h"
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "project/ProjectFile.h"
#include "voice/WaveFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;

namespace {

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Writes a 24-bit BMP whose pixels come from `paint(x, y)`, each channel
// clamped to 0..255.
template <typename Paint>
void writeBmp(const std::string& path, int width, int height, Paint paint)
{
    const auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); };
    test::writeBmp24(path, width, height, [&](int x, int y) {
        const Rgb c = paint(x, y);
        return test::Rgb8{channel(c.r), channel(c.g), channel(c.b)};
    });
}

void paintPictures(const std::string& folder)
{
    const int w = 640, h = 480;
    // A sunrise over hills.
    writeBmp(folder + "Sunrise.bmp", w, h, [&](int x, int y) {
        const double sky = static_cast<double>(y) / h;
        Rgb c = mix({255, 176, 96}, {70, 110, 190}, 1.0 - sky * 1.4);
        const double dx = x - w * 0.62, dy = y - h * 0.55;
        const double sun = std::sqrt(dx * dx + dy * dy);
        if (sun < 60)
            c = {255, 236, 170};
        else if (sun < 140)
            c = mix({255, 220, 150}, c, (sun - 60) / 80);
        const double hill = h * 0.68 + 40 * std::sin(x / 70.0) + 18 * std::sin(x / 23.0 + 1);
        if (y > hill)
            c = mix({80, 140, 70}, {40, 90, 50}, (y - hill) / (h - hill + 1));
        return c;
    });
    // Coloured bars: the parts of a presentation.
    writeBmp(folder + "Parts.bmp", w, h, [&](int x, int y) {
        const Rgb paper{246, 243, 236};
        const Rgb colours[4] = {{231, 111, 81}, {244, 162, 97}, {42, 157, 143}, {38, 70, 83}};
        const int heights[4] = {180, 260, 330, 390};
        for (int i = 0; i < 4; ++i) {
            const int left = 80 + i * 130;
            if (x >= left && x < left + 90 && y >= h - 40 - heights[i] && y < h - 40)
                return colours[i];
        }
        if (y == h - 40 && x > 50 && x < w - 50)
            return Rgb{60, 60, 60};
        return paper;
    });
    // Concentric waves: a voice.
    writeBmp(folder + "Voice.bmp", w, h, [&](int x, int y) {
        const double dx = x - w * 0.3, dy = y - h * 0.5;
        const double r = std::sqrt(dx * dx + dy * dy);
        const double wave = 0.5 + 0.5 * std::cos(r / 9.0);
        const double fade = std::exp(-r / 260.0);
        return mix({24, 32, 64}, {120, 200, 255}, wave * fade);
    });
}

// The pause after each slide's line.
constexpr int kPauseMs = 700;

struct NarratedSlide {
    TreeItem* slide;
    std::string line;
};

// Speaks `line` into the wave file `path` with espeak-ng.
bool speak(const std::string& line, const std::string& path)
{
    // The lines are ours and hold no single quotes.
    const std::string command = "espeak-ng -v en-us -s 155 -w '" + path + "' '" + line + "'";
    return std::system(command.c_str()) == 0;
}

// Speaks the session's lines one after the other into `wavePath`, each
// followed by a pause, and gives each slide the length of its line and pause
// as its delay.
bool narrateSession(const std::vector<NarratedSlide>& slides, const std::string& wavePath)
{
    PcmAudio session;
    const std::string linePath = wavePath + ".line.wav";
    for (const NarratedSlide& narrated : slides) {
        PcmAudio line;
        if (!speak(narrated.line, linePath) || !readWave(linePath, line) || line.channels != 1) {
            std::cerr << "make_sample_project: espeak-ng could not speak \"" << narrated.line << "\"\n";
            return false;
        }
        if (session.samples.empty())
            session.sampleRate = line.sampleRate;
        if (line.sampleRate != session.sampleRate)
            return false;
        const std::size_t pause = static_cast<std::size_t>(session.sampleRate) * kPauseMs / 1000;
        session.samples.insert(session.samples.end(), line.samples.begin(), line.samples.end());
        session.samples.insert(session.samples.end(), pause, 0);
        narrated.slide->slide()->delay =
            static_cast<float>(line.samples.size() + pause) / static_cast<float>(session.sampleRate);
    }
    std::error_code ec;
    fs::remove(linePath, ec);
    return writeWave(wavePath, session).ok();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: make_sample_project INSTALLATION-FOLDER OUTPUT.pvp [NARRATION-FOLDER]\n";
        return 2;
    }
    std::string home = fs::absolute(argv[1]).string();
    if (home.back() != '/')
        home += '/';
    const std::string pictures = home + "SamplePictures/";
    const std::string temp = home + "SampleTemp/";
    fs::create_directories(pictures);
    fs::create_directories(temp);
    paintPictures(pictures);

    ConsoleUi ui{true};
    SystemClock clock;
    EmptyRegistry registry;
    int result = 1;
    {
        ProjectDocument document{DocumentEnvironment{home, temp, ui, clock, registry}};
        TreeOperations operations{document};
        operations.createView();
        ProjectSettings& settings = document.settings();
        settings.headingText = "Welcome to Pavonia";
        settings.autoPlay = 1;
        settings.autoJump = 1;

        ProjectTree& tree = document.tree();
        TreeItem* first = tree.root().child(0)->child(0);
        SlideData& intro = *first->slide();
        intro.subTopic = "A presentation that speaks";
        intro.description = "Each session has a talking image and a talking message.\r\n"
                            "The slides change in time with the voice.";
        intro.hasContent = 1;
        tree.setText(*first, intro.subTopic);

        tree.select(first);
        TreeItem* sunrise = operations.AddItem(pictures + "Sunrise.bmp");
        sunrise->slide()->description = "Pictures, clips and whole slide decks become slides.";
        sunrise->slide()->delay = 4.0f;

        tree.select(tree.root().child(0));
        TreeItem* parts = operations.AddItem(pictures + "Parts.bmp");
        parts->slide()->subTopic = "Build it in parts";
        parts->slide()->description = "Sessions hold slides; drag them up and down to change the order.";
        tree.setText(*parts, parts->slide()->subTopic);
        tree.select(parts);
        TreeItem* voice = operations.AddItem(pictures + "Voice.bmp");
        voice->slide()->subTopic = "Record your voice";
        voice->slide()->description = "Record, filter and mute the talking message of each session.";
        voice->slide()->delay = 5.0f;
        tree.setText(*voice, voice->slide()->subTopic);

        if (argc == 4) {
            const std::string narration = fs::absolute(argv[3]).string() + "/";
            fs::create_directories(narration);
            const bool spoken =
                narrateSession({{first, "Welcome to Pavonia. This presentation speaks to you, and its slides change "
                                        "in time with the voice."},
                                {sunrise, "Pictures, clips and whole slide decks become slides. Each one stays up "
                                          "for as long as its part of the story."}},
                               narration + "session1.wav") &&
                narrateSession({{parts, "Build your presentation in parts. Sessions hold slides, and you can drag "
                                        "them up and down to change the order."},
                                {voice, "Every session has a talking message of its own. Record your voice, filter "
                                        "it, and the face speaks along with it."}},
                               narration + "session2.wav");
            if (!spoken)
                result = 2;
        }
        if (result != 2)
            result = SaveProject(document, argv[2]) ? 0 : 1;
        document.workingFolder().reset();
    }
    std::error_code ec;
    fs::remove_all(pictures, ec);
    fs::remove_all(temp, ec);
    return result;
}
