#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace pavonia::test {

namespace {

std::string contentType(const std::string& path)
{
    static const std::map<std::string, std::string> types = {
        {".htm", "text/html; charset=utf-8"}, {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript"},           {".css", "text/css"},
        {".jpg", "image/jpeg"},               {".jpeg", "image/jpeg"},
        {".png", "image/png"},                {".gif", "image/gif"},
        {".bmp", "image/bmp"},                {".wav", "audio/wav"},
        {".mp3", "audio/mpeg"},               {".mp4", "video/mp4"},
        {".webm", "video/webm"},              {".ogg", "audio/ogg"}};
    const std::size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto found = types.find(extension);
    // A file type a server does not know, such as a talking message.
    return found == types.end() ? "application/octet-stream" : found->second;
}

void sendAll(int connection, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

void sendStatus(int connection, const std::string& status)
{
    sendAll(connection, "HTTP/1.1 " + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
}

} // namespace

std::string escapeUrlPath(const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c) || std::strchr("/-_.~", c)) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string unescapeUrl(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

LoopbackHttpServer::LoopbackHttpServer(std::string folder) : folder_(std::move(folder))
{
    if (!folder_.empty() && folder_.back() != '/')
        folder_ += '/';
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0)
            ::close(listener_);
        throw std::runtime_error("cannot listen on the loopback interface");
    }
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listener_);
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(mutex_);
        connections.swap(connections_);
    }
    for (std::thread& connection : connections)
        connection.join();
}

std::string LoopbackHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + escapeUrlPath(path);
}

std::vector<std::string> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::acceptLoop()
{
    while (!stopping_) {
        pollfd ready{listener_, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, connection] {
            serve(connection);
            ::close(connection);
        });
    }
}

// One request per connection: enough for a browser, which opens more.
void LoopbackHttpServer::serve(int connection)
{
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd ready{connection, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) {
            if (stopping_)
                return;
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    std::istringstream lines(request);
    std::string method, target, version;
    lines >> method >> target >> version;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(target);
    }
    if (method != "GET" && method != "HEAD")
        return sendStatus(connection, "405 Method Not Allowed");

    std::string path = unescapeUrl(target.substr(0, target.find('?')));
    if (path.empty() || path[0] != '/' || path.find("..") != std::string::npos)
        return sendStatus(connection, "400 Bad Request");
    std::ifstream file(folder_ + path.substr(1), std::ios::binary);
    if (path.back() == '/' || !file)
        return sendStatus(connection, "404 Not Found");
    const std::string body((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    // A single "bytes=FIRST-[LAST]" range; anything else gets the whole file.
    std::size_t first = 0, last = body.empty() ? 0 : body.size() - 1;
    bool partial = false;
    std::string header;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 6 && strncasecmp(line.c_str(), "range:", 6) == 0) {
            unsigned long long a = 0, b = 0;
            const std::string value = line.substr(6);
            const int fields = std::sscanf(value.c_str(), " bytes=%llu-%llu", &a, &b);
            if (fields >= 1 && a < body.size()) {
                first = a;
                if (fields == 2 && b < body.size() && b >= a)
                    last = b;
                partial = true;
            } else if (fields >= 1) {
                return sendAll(connection, "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" +
                                               std::to_string(body.size()) +
                                               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            }
        }
    }
    const std::size_t length = body.empty() ? 0 : last - first + 1;
    header = std::string("HTTP/1.1 ") + (partial ? "206 Partial Content" : "200 OK") +
             "\r\nContent-Type: " + contentType(path) + "\r\nContent-Length: " + std::to_string(length) +
             "\r\nAccept-Ranges: bytes\r\nCache-Control: no-store\r\nConnection: close\r\n";
    if (partial)
        header += "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
                  std::to_string(body.size()) + "\r\n";
    sendAll(connection, header + "\r\n");
    if (method == "GET" && length > 0)
        sendAll(connection, body.substr(first, length));
}

} // namespace pavonia::test
