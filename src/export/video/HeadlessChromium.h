#pragma once
// Headless Chromium driven over the DevTools protocol through a pipe
// (--remote-debugging-pipe: the browser reads commands on its descriptor 3
// and writes answers and events on its descriptor 4, each message a JSON
// text ended by a NUL byte). The video export photographs the published page
// with it; the browser tests, the page benchmark and the screenshot tool
// drive pages with it. Needs nothing but the browser itself.
#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>
#include <sys/types.h>

namespace pavonia {

// The Chromium program of the machine, or "" when none is installed.
std::string findChromium();

// A command the browser refused, an answer that did not come in time, or a
// browser that died.
struct DevToolsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ChromiumOptions {
    // Sound may start without a user gesture.
    bool autoplay = false;
    std::vector<std::string> extraArguments;
};

class Chromium {
public:
    // Starts the browser with a fresh profile; throws DevToolsError when it
    // cannot.
    explicit Chromium(const ChromiumOptions& options = {});
    ~Chromium();
    Chromium(const Chromium&) = delete;
    Chromium& operator=(const Chromium&) = delete;

    // Sends `method` (to the page session `session`, or to the browser) and
    // returns its result; events arriving meanwhile go to their listeners.
    nlohmann::json call(const std::string& method, const nlohmann::json& params = nlohmann::json::object(),
                        const std::string& session = {}, int timeoutMs = 30000);
    // Handles events for `ms` milliseconds.
    void pump(int ms);
    // Handles events until `done()` holds or `timeoutMs` passed; says
    // whether it holds.
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs);

    using Listener = std::function<void(const std::string& method, const nlohmann::json& params)>;
    void listen(const std::string& session, Listener listener) { listeners_[session] = std::move(listener); }
    void forget(const std::string& session) { listeners_.erase(session); }

private:
    void send(const nlohmann::json& message);
    // Reads one message, waiting at most `timeoutMs`; false when none came.
    bool receive(nlohmann::json& message, int timeoutMs);
    void dispatch(const nlohmann::json& message);

    pid_t pid_ = -1;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    int nextId_ = 1;
    std::string pending_;
    std::string profile_;
    std::map<std::string, Listener> listeners_;
};

// One tab of the browser, with the script errors it reported.
class BrowserPage {
public:
    struct Viewport {
        int width = 1280;
        int height = 720;
        bool mobile = false;
        double scale = 1.0;
    };
    static constexpr Viewport desktop() { return {1280, 720, false, 1.0}; }
    static constexpr Viewport phone() { return {390, 844, true, 2.0}; }

    explicit BrowserPage(Chromium& browser, Viewport viewport = desktop());
    ~BrowserPage();
    BrowserPage(const BrowserPage&) = delete;
    BrowserPage& operator=(const BrowserPage&) = delete;

    // Runs `script` in every document this page loads, before the
    // document's own scripts.
    void addInitScript(const std::string& script);
    // Loads `url` and waits for its load event; false when it did not come
    // within `timeoutMs`.
    bool open(const std::string& url, int timeoutMs = 20000);
    // The value of a script expression (a promise is awaited); throws
    // DevToolsError when the expression throws.
    nlohmann::json eval(const std::string& expression, int timeoutMs = 30000);
    // Waits until the expression is true; false after `timeoutMs`.
    bool waitFor(const std::string& expression, int timeoutMs);
    // The page as a PNG file's bytes; with `clip` ({x, y, width, height}
    // in CSS pixels), that part of it only.
    std::string screenshot(const nlohmann::json& clip = nullptr);
    void setViewport(Viewport viewport);

    // Uncaught exceptions, console errors and failed loads, in order.
    const std::vector<std::string>& errors() const { return errors_; }
    std::string errorText() const;
    Chromium& browser() { return browser_; }
    const std::string& session() const { return session_; }

private:
    void onEvent(const std::string& method, const nlohmann::json& params);

    Chromium& browser_;
    std::string target_;
    std::string session_;
    bool loaded_ = false;
    std::vector<std::string> errors_;
};

// The bytes that base64 `text` stands for.
std::string decodeBase64(const std::string& text);

} // namespace pavonia
