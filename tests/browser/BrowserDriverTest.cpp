// The tools of the browser tests themselves: a page's faults reach the test,
// and the loopback server answers as a web server would.
#include "LoopbackHttpServer.h"
#include "PlayerFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pavonia::test {
namespace {

using nlohmann::json;

// A raw request to the server, and the whole answer.
std::string ask(const LoopbackHttpServer& server, const std::string& request)
{
    const std::string base = server.url();
    const int port = std::stoi(base.substr(base.rfind(':') + 1));
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(s, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
        char buffer[4096];
        for (ssize_t n; (n = ::recv(s, buffer, sizeof buffer, 0)) > 0;)
            answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(s);
    return answer;
}

TEST_F(BrowserTest, APagesFaultsReachTheTest)
{
    const std::string page = installation.writeFile(
        "site/faulty page.htm",
        "<!DOCTYPE html><html><body><img src=\"missing.png\">"
        "<script>console.error('told'); document.title = 'ran'; undefinedFunction();</script></body></html>");
    BrowserPage& tab = newPage();
    ASSERT_TRUE(tab.open(fileUrl(page)));
    tab.browser().pump(200);
    EXPECT_EQ(tab.eval("document.title"), "ran");
    const std::string errors = tab.errorText();
    EXPECT_NE(errors.find("console.error: \"told\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("undefinedFunction"), std::string::npos) << errors;
    EXPECT_NE(errors.find("missing.png"), std::string::npos) << errors;
    EXPECT_THROW(tab.eval("nothing.here"), DevToolsError);
}

TEST_F(BrowserTest, TheLoopbackServerServesRangesAndNothingOutsideItsFolder)
{
    installation.writeFile("secret.txt", "not to be served");
    installation.writeFile("site/voice.tps", "0123456789");
    installation.writeFile("site/page.htm", "<!DOCTYPE html><title>served</title>");
    LoopbackHttpServer server(installation.root() + "site");

    const std::string range = ask(server, "GET /voice.tps HTTP/1.1\r\nHost: x\r\nRange: bytes=2-5\r\n\r\n");
    EXPECT_TRUE(range.starts_with("HTTP/1.1 206")) << range;
    EXPECT_NE(range.find("Content-Range: bytes 2-5/10"), std::string::npos) << range;
    EXPECT_TRUE(range.ends_with("\r\n\r\n2345")) << range;
    const std::string whole = ask(server, "GET /voice.tps HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(whole.starts_with("HTTP/1.1 200")) << whole;
    EXPECT_NE(whole.find("Content-Type: application/octet-stream"), std::string::npos) << whole;
    EXPECT_TRUE(whole.ends_with("0123456789"));
    EXPECT_TRUE(ask(server, "GET /../secret.txt HTTP/1.1\r\n\r\n").starts_with("HTTP/1.1 400"));
    EXPECT_TRUE(ask(server, "GET /%2e%2e/secret.txt HTTP/1.1\r\n\r\n").starts_with("HTTP/1.1 400"));
    EXPECT_TRUE(ask(server, "GET / HTTP/1.1\r\n\r\n").starts_with("HTTP/1.1 404"));
    EXPECT_TRUE(ask(server, "POST /page.htm HTTP/1.1\r\n\r\n").starts_with("HTTP/1.1 405"));

    BrowserPage& tab = newPage();
    ASSERT_TRUE(tab.open(server.url("page.htm")));
    EXPECT_EQ(tab.eval("document.title"), "served");
    EXPECT_EQ(tab.errorText(), "");
}

} // namespace
} // namespace pavonia::test
