#pragma once
// What the browser tests share: a throw-away installation, presentations
// published with `pavonia-cli preview`, a headless Chromium, and the state
// of the page's player sampled while it plays.
#include "DevTools.h"
#include "PresentationPlan.h"
#include "RunCommand.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pavonia::test {

// pavonia-cli in `installation`; its error output folded into the output.
CommandRun runCliIn(const TestInstallation& installation, const std::string& arguments);

// Saves `plan` as a project in `installation`, takes in `voices[i]` (a wave
// file, or "" for none) as the talking message of session i + 1 with
// `voice import`, and returns the project's path; fails the test when any
// step fails.
std::string makeProject(const TestInstallation& installation, const PresentationPlan& plan,
                        const std::vector<std::string>& voices = {});

// Publishes `project` with `pavonia-cli preview` (starting at slide `slide`,
// counted from 0, when given) and returns the page's path.
std::string previewPage(const TestInstallation& installation, const std::string& project,
                        std::optional<int> slide = std::nullopt);

// One look at `PavoniaPlayer.state()` while the page runs.
struct PlayerSample {
    double wallMs = 0; // page time since sampling began
    double timeMs = 0;
    int session = 0;
    int slide = 0;
    double mouthOpen = 0;
    int transition = -1;
    double transitionProgress = 1;
    bool playing = false;
};

// Script that samples the player's state every 10 ms for `ms` milliseconds
// into window.pvSamples, after running `first` (for example
// "PavoniaPlayer.play()"). Returns at once.
std::string startSampling(int ms, const std::string& first);
// The samples taken, once sampling has ended (waits for it).
std::vector<PlayerSample> collectSamples(BrowserPage& page, int timeoutMs = 15000);

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override;
    // A page of the browser, at desktop size unless told otherwise.
    BrowserPage& newPage(BrowserPage::Viewport viewport = BrowserPage::desktop());
    // Opens `url` in `page` and waits until the player has started.
    void openPlayer(BrowserPage& page, const std::string& url);
    // PavoniaPlayer.state() now.
    nlohmann::json state(BrowserPage& page);

    TestInstallation installation;
    std::unique_ptr<Chromium> browser;
    std::vector<std::unique_ptr<BrowserPage>> pages;
    // Sound may start without a click in the pages of this browser.
    bool autoplay = true;
};

} // namespace pavonia::test
