// The published sample in headless Firefox, from disk and over HTTP. The
// page gets a small probe script in front of its own: it records script
// errors and failed loads, asks the player for its state after a moment and
// reports all of it to the test's loopback server. Skipped when Firefox is
// not installed.
#include "LoopbackHttpServer.h"
#include "PlayerFixture.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

using nlohmann::json;

std::string findFirefox()
{
    for (const char* candidate : {"/usr/bin/firefox-esr", "/usr/bin/firefox"})
        if (::access(candidate, X_OK) == 0)
            return candidate;
    return {};
}

// Reports to REPORT (a URL) what happened on the page, 2 s after it loaded:
// errors, the player's state, and its state after a seek to SEEK ms.
const char* const kProbe = R"js(
(function () {
    var errors = [];
    window.addEventListener("error", function (e) {
        var t = e.target;
        if (t && t !== window && (t.src || t.href))
            errors.push("failed to load " + (t.src || t.href));
        else
            errors.push("error: " + e.message + " (" + e.filename + ":" + e.lineno + ")");
    }, true);
    window.addEventListener("unhandledrejection", function (e) { errors.push("rejection: " + e.reason); });
    var consoleError = console.error;
    console.error = function () {
        errors.push("console.error: " + Array.prototype.join.call(arguments, " "));
        return consoleError.apply(console, arguments);
    };
    window.addEventListener("load", function () {
        setTimeout(function () {
            var report = { page: location.protocol, errors: errors };
            try {
                report.state = PavoniaPlayer.state();
                PavoniaPlayer.seek(SEEK);
                report.afterSeek = PavoniaPlayer.state();
            } catch (e) {
                errors.push("player: " + e);
            }
            new Image().src = "REPORT?" + encodeURIComponent(JSON.stringify(report));
        }, 2000);
    });
})();
)js";

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST(FirefoxTest, TheSamplePlaysFromDiskAndOverHttp)
{
    const std::string firefox = findFirefox();
    if (firefox.empty())
        GTEST_SKIP() << "firefox is not installed";
    TestInstallation installation;
    const std::string project = installation.root() + "Sample.pvp";
    fs::copy_file(PAVONIA_SAMPLE_PROJECT, project);
    const fs::path page = previewPage(installation, project);
    LoopbackHttpServer server(page.parent_path().string());

    // The page with the probe first in its head, beside the page itself.
    std::string text = readFile(page.string());
    const std::size_t head = text.find("<head>");
    ASSERT_NE(head, std::string::npos);
    text.insert(head + 6, "<script src=\"pv-probe.js\"></script>");
    std::ofstream(page.parent_path() / "pv-check.htm", std::ios::binary) << text;
    std::ofstream(page.parent_path() / "pv-probe.js", std::ios::binary)
        << replaceAll(replaceAll(kProbe, "REPORT", server.url("pv-report")), "SEEK", "16500");

    const std::string profile = installation.root() + "firefox-profile";
    fs::create_directories(profile);
    std::ofstream(profile + "/user.js") << R"(
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.auto", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("media.autoplay.default", 0);
user_pref("media.block-autoplay-until-in-foreground", false);
)";

    const std::string fileUrlText = fileUrl((page.parent_path() / "pv-check.htm").string());
    const std::string httpUrl = server.url("pv-check.htm");
    const std::string log = installation.root() + "firefox.log";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execl(firefox.c_str(), firefox.c_str(), "--headless", "--no-remote", "--profile", profile.c_str(),
                fileUrlText.c_str(), httpUrl.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);

    // Both reports, or give up after a minute.
    std::vector<json> reports;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (reports.size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        reports.clear();
        for (const std::string& request : server.requests())
            if (request.starts_with("/pv-report?"))
                reports.push_back(json::parse(unescapeUrl(request.substr(11)), nullptr, false));
    }
    ::kill(-pid, SIGTERM);
    for (int i = 0; i < 30 && ::waitpid(pid, nullptr, WNOHANG) != pid; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);

    ASSERT_EQ(reports.size(), 2u) << "firefox did not report from both pages\n" << readFile(log);
    for (const json& report : reports) {
        ASSERT_TRUE(report.is_object());
        const std::string where = report.value("page", "?");
        EXPECT_EQ(report["errors"], json::array()) << where;
        ASSERT_TRUE(report.contains("state")) << where;
        EXPECT_EQ(report["state"]["session"], 1) << where;
        EXPECT_EQ(report["state"]["playing"], true) << where;
        EXPECT_GT(report["state"]["timeMs"].get<double>(), 500) << where << ": the voice clock did not run";
        EXPECT_EQ(report["afterSeek"]["session"], 2) << where;
        EXPECT_EQ(report["afterSeek"]["slide"], 3) << where;
    }
}

} // namespace
} // namespace pavonia::test
