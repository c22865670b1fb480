#include "export/video/HeadlessChromium.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using nlohmann::json;

namespace pavonia {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Stops the process group the browser leads and collects its leader.
void stopProcessGroup(pid_t pid)
{
    for (int i = 0; i < 50; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        if (i == 30)
            ::kill(-pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, WNOHANG);
}

} // namespace

std::string findChromium()
{
    for (const char* candidate : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
        if (::access(candidate, X_OK) == 0)
            return candidate;
    return {};
}

Chromium::Chromium(const ChromiumOptions& options)
{
    const std::string program = findChromium();
    if (program.empty())
        throw DevToolsError("chromium is not installed");
    // A browser that dies makes writes to its pipe fail instead of ending
    // this process.
    std::signal(SIGPIPE, SIG_IGN);

    std::string pattern = (fs::temp_directory_path() / "pavonia-chromium-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw DevToolsError("cannot make a browser profile folder");
    profile_ = pattern;

    std::vector<std::string> arguments = {program,
                                          "--headless",
                                          "--no-sandbox",
                                          "--disable-gpu",
                                          "--disable-background-networking",
                                          "--disable-component-update",
                                          "--disable-sync",
                                          "--no-first-run",
                                          // Pages side by side run at full
                                          // speed, as each would alone.
                                          "--disable-background-timer-throttling",
                                          "--disable-renderer-backgrounding",
                                          "--disable-backgrounding-occluded-windows",
                                          "--no-default-browser-check",
                                          "--user-data-dir=" + profile_,
                                          "--remote-debugging-pipe"};
    if (options.autoplay)
        arguments.push_back("--autoplay-policy=no-user-gesture-required");
    for (const std::string& extra : options.extraArguments)
        arguments.push_back(extra);
    arguments.push_back("about:blank");

    int commands[2];
    int answers[2];
    if (::pipe2(commands, O_CLOEXEC) != 0 || ::pipe2(answers, O_CLOEXEC) != 0)
        throw DevToolsError("cannot make the browser's pipes");
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string logPath = profile_ + "/browser.log";

    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        // Copies above the low descriptors first, so that neither end is
        // already 3 or 4 (dup2 onto itself would keep close-on-exec); dup2
        // clears close-on-exec on the copies it makes.
        const int reading = ::fcntl(commands[0], F_DUPFD_CLOEXEC, 10);
        const int writing = ::fcntl(answers[1], F_DUPFD_CLOEXEC, 10);
        if (reading < 0 || writing < 0 || ::dup2(reading, 3) < 0 || ::dup2(writing, 4) < 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(commands[0]);
    ::close(answers[1]);
    toBrowser_ = commands[1];
    fromBrowser_ = answers[0];
    if (pid_ < 0) {
        ::close(toBrowser_);
        ::close(fromBrowser_);
        throw DevToolsError("cannot start chromium");
    }
    // The first answer shows the browser listens.
    call("Browser.getVersion", json::object(), {}, 30000);
}

Chromium::~Chromium()
{
    if (pid_ > 0) {
        try {
            call("Browser.close", json::object(), {}, 3000);
        } catch (const DevToolsError&) {
        }
        ::close(toBrowser_);
        ::close(fromBrowser_);
        stopProcessGroup(pid_);
    }
    std::error_code ec;
    fs::remove_all(profile_, ec);
}

void Chromium::send(const json& message)
{
    std::string text = message.dump();
    text.push_back('\0');
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(toBrowser_, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw DevToolsError("the browser stopped reading");
        written += static_cast<std::size_t>(n);
    }
}

bool Chromium::receive(json& message, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = pending_.find('\0');
        if (end != std::string::npos) {
            message = json::parse(pending_.substr(0, end), nullptr, false);
            pending_.erase(0, end + 1);
            return true;
        }
        pollfd in{fromBrowser_, POLLIN, 0};
        const int ready = ::poll(&in, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[65536];
        const ssize_t n = ::read(fromBrowser_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw DevToolsError("the browser closed its pipe");
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

void Chromium::dispatch(const json& message)
{
    if (!message.is_object() || !message.contains("method"))
        return;
    const std::string session = message.value("sessionId", "");
    const auto listener = listeners_.find(session);
    if (listener != listeners_.end())
        listener->second(message["method"].get<std::string>(), message.value("params", json::object()));
}

json Chromium::call(const std::string& method, const json& params, const std::string& session, int timeoutMs)
{
    const int id = nextId_++;
    json message = {{"id", id}, {"method", method}, {"params", params}};
    if (!session.empty())
        message["sessionId"] = session;
    send(message);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    json answer;
    for (;;) {
        if (!receive(answer, millisecondsLeft(deadline)))
            throw DevToolsError(method + ": no answer within " + std::to_string(timeoutMs) + " ms");
        if (answer.is_object() && answer.value("id", 0) == id)
            break;
        dispatch(answer);
    }
    if (answer.contains("error"))
        throw DevToolsError(method + ": " + answer["error"].dump());
    return answer.value("result", json::object());
}

void Chromium::pump(int ms)
{
    pumpUntil([] { return false; }, ms);
}

bool Chromium::pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    json message;
    while (!done()) {
        const int left = millisecondsLeft(deadline);
        if (left == 0)
            return false;
        if (receive(message, left))
            dispatch(message);
    }
    return true;
}

BrowserPage::BrowserPage(Chromium& browser, Viewport viewport) : browser_(browser)
{
    // A window of its own: tabs behind another tab of a window run their
    // timers slowly.
    target_ = browser_.call("Target.createTarget", {{"url", "about:blank"}, {"newWindow", true}})["targetId"].get<std::string>();
    session_ = browser_.call("Target.attachToTarget", {{"targetId", target_}, {"flatten", true}})["sessionId"]
                   .get<std::string>();
    browser_.listen(session_, [this](const std::string& method, const json& params) { onEvent(method, params); });
    for (const char* domain : {"Page.enable", "Runtime.enable", "Log.enable"})
        browser_.call(domain, json::object(), session_);
    setViewport(viewport);
}

BrowserPage::~BrowserPage()
{
    browser_.forget(session_);
    try {
        browser_.call("Target.closeTarget", {{"targetId", target_}}, {}, 5000);
    } catch (const DevToolsError&) {
    }
}

void BrowserPage::setViewport(Viewport viewport)
{
    browser_.call("Emulation.setDeviceMetricsOverride",
                  {{"width", viewport.width},
                   {"height", viewport.height},
                   {"deviceScaleFactor", viewport.scale},
                   {"mobile", viewport.mobile}},
                  session_);
    browser_.call("Emulation.setTouchEmulationEnabled", {{"enabled", viewport.mobile}, {"maxTouchPoints", 5}},
                  session_);
}

void BrowserPage::onEvent(const std::string& method, const json& params)
{
    if (method == "Page.loadEventFired") {
        loaded_ = true;
    } else if (method == "Runtime.exceptionThrown") {
        const json& details = params["exceptionDetails"];
        std::string text = details.value("text", "");
        if (details.contains("exception"))
            text += " " + details["exception"].value("description", "");
        errors_.push_back("exception: " + text + " (" + details.value("url", "") + ":" +
                          std::to_string(details.value("lineNumber", 0) + 1) + ")");
    } else if (method == "Runtime.consoleAPICalled") {
        const std::string type = params.value("type", "");
        if (type != "error" && type != "assert")
            return;
        std::string text = "console." + type + ":";
        for (const json& argument : params["args"])
            text += " " + (argument.contains("value") ? argument["value"].dump() : argument.value("description", ""));
        errors_.push_back(text);
    } else if (method == "Log.entryAdded") {
        const json& entry = params["entry"];
        const std::string url = entry.value("url", "");
        // A browser asks every server for an icon the page never named.
        if (entry.value("level", "") != "error" || url.ends_with("/favicon.ico"))
            return;
        errors_.push_back(entry.value("source", "") + ": " + entry.value("text", "") + " " + url);
    }
}

void BrowserPage::addInitScript(const std::string& script)
{
    browser_.call("Page.addScriptToEvaluateOnNewDocument", {{"source", script}}, session_);
}

bool BrowserPage::open(const std::string& url, int timeoutMs)
{
    loaded_ = false;
    const json result = browser_.call("Page.navigate", {{"url", url}}, session_, timeoutMs);
    if (result.contains("errorText")) {
        errors_.push_back("navigation: " + result["errorText"].get<std::string>() + " " + url);
        return false;
    }
    return browser_.pumpUntil([this] { return loaded_; }, timeoutMs);
}

json BrowserPage::eval(const std::string& expression, int timeoutMs)
{
    const json result = browser_.call(
        "Runtime.evaluate",
        {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}, {"userGesture", false}},
        session_, timeoutMs);
    if (result.contains("exceptionDetails")) {
        const json& details = result["exceptionDetails"];
        std::string text = details.value("text", "");
        if (details.contains("exception"))
            text += " " + details["exception"].value("description", "");
        throw DevToolsError("evaluating `" + expression + "`: " + text);
    }
    return result["result"].value("value", json());
}

bool BrowserPage::waitFor(const std::string& expression, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const json value = eval("!!(" + expression + ")");
        if (value.is_boolean() && value.get<bool>())
            return true;
        if (Clock::now() >= deadline)
            return false;
        browser_.pump(20);
    }
}

std::string BrowserPage::screenshot(const json& clip)
{
    json params = {{"format", "png"}};
    if (clip.is_object()) {
        params["clip"] = clip;
        params["clip"]["scale"] = 1;
    }
    const json result = browser_.call("Page.captureScreenshot", params, session_);
    return decodeBase64(result["data"].get<std::string>());
}

std::string BrowserPage::errorText() const
{
    std::string text;
    for (const std::string& error : errors_)
        text += error + "\n";
    return text;
}

std::string decodeBase64(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(text.size() * 3 / 4);
    unsigned value = 0;
    int bits = 0;
    for (const char c : text) {
        const std::size_t digit = alphabet.find(c);
        if (digit == std::string::npos)
            continue; // padding and line breaks
        value = (value << 6) | static_cast<unsigned>(digit);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((value >> bits) & 0xff));
        }
    }
    return out;
}

} // namespace pavonia
