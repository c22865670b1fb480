#pragma once
// A small HTTP/1.1 server on 127.0.0.1 that serves one folder, as a plain
// web server would serve a published presentation: GET and HEAD, byte
// ranges (browsers ask for them when they play sound), no listings and
// nothing outside the folder. Requests are logged, so a page can report to
// the test by asking for a URL.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pavonia::test {

class LoopbackHttpServer {
public:
    // Serves `folder` on a free port; throws std::runtime_error when it
    // cannot listen.
    explicit LoopbackHttpServer(std::string folder);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // "http://127.0.0.1:PORT/" + `path` (a path relative to the folder, its
    // characters escaped as a URL needs).
    std::string url(const std::string& path = {}) const;
    // Every request target asked for so far (path and query, as sent).
    std::vector<std::string> requests() const;

private:
    void acceptLoop();
    void serve(int connection);

    std::string folder_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::vector<std::string> requests_;
};

// `text` with every character a URL path cannot hold as it is escaped.
std::string escapeUrlPath(const std::string& text);
// `text` with its %XX escapes decoded ("+" stays).
std::string unescapeUrl(const std::string& text);

} // namespace pavonia::test
