// The local shortening server, spoken to exactly as the program speaks to
// the six services.
#include "http/web_request.h"
#include "server/shortener_server.h"
#include "shorten/shorten_one.h"
#include "support/local_https_server.h"

#include <gtest/gtest.h>

#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quenmark::server {
namespace {

using quenmark::testing::TempDir;
using quenmark::testing::TrustedAuthority;
using text::Text;

// A port nobody listens on right now.
int free_port()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

class LocalShortener : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int n = 1; n <= 6; ++n) {
            ServiceEndpoint& endpoint = services.services[static_cast<std::size_t>(n - 1)];
            endpoint.number = n;
            endpoint.host = "127.0.0.1:" + std::to_string(free_port());
            endpoint.target_code = n == 1 || n == 2 || n == 4 ? "code" + std::to_string(n) : "";
            endpoint.failure_tag = "tag";
            endpoint.caption = "c";
        }
        start();
    }

    void start()
    {
        server = std::make_unique<ShortenerServer>(services, ServerOptions{.data_dir = data.path()});
        std::string error;
        ASSERT_TRUE(server->start(error)) << error;
        std::ifstream in(server->ca_file());
        trust.reset();
        trust = std::make_unique<TrustedAuthority>(
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }

    shorten::ServiceSpec spec(int n, std::string_view target_code = {}) const
    {
        const ServiceEndpoint& endpoint = services.services[static_cast<std::size_t>(n - 1)];
        return shorten::make_service_spec(n, endpoint.host,
                                          target_code.empty() ? endpoint.target_code : target_code,
                                          endpoint.failure_tag);
    }

    // Each request on a connection of its own, closed at once: a kept-alive
    // connection would hold the server's stop until it times out.
    static shorten::LinkOutcome shorten_one(const shorten::ServiceSpec& row, std::string_view link)
    {
        const auto object = http::create_http_object({.share_connections = false});
        return shorten::shorten_one(row, link, object.get());
    }

    // The short link of a successful outcome, as the result line shows it.
    static Text short_link(const shorten::ServiceSpec& row, const shorten::LinkOutcome& outcome)
    {
        return row.short_link_base + outcome.value;
    }

    // Where `short_link` sends a browser: the Location of its redirect.
    static Text follow(const Text& link, int& status)
    {
        Text headers;
        const auto object = http::create_http_object({.share_connections = false});
        (void)http::web_request({.url = link, .response_headers = &headers, .status = &status,
                                 .no_redirect = true, .http_object = object.get()});
        // Raw bytes (UTF-8), not a local text: cut it bytewise.
        const std::size_t start = headers.find("Location: ");
        if (start == Text::npos)
            return {};
        return headers.substr(start + 10, headers.find("\r\n", start) - start - 10);
    }

    TempDir data;
    ServicesFile services;
    std::unique_ptr<ShortenerServer> server;
    std::unique_ptr<TrustedAuthority> trust;
};

TEST_F(LocalShortener, EveryServiceHandsOutAShortLinkThatRedirects)
{
    const Text long_link = "http://example.com/path?q=a b&x=\xD6\xD0"; // with a blank and 中
    for (int n = 1; n <= 6; ++n) {
        const shorten::ServiceSpec row = spec(n);
        const shorten::LinkOutcome outcome = shorten_one(row, long_link);
        ASSERT_TRUE(outcome.ok) << "service " << n << ": " << outcome.response;
        const Text link = short_link(row, outcome);
        const Text origin = "https://" + services.services[static_cast<std::size_t>(n - 1)].host + "/";
        EXPECT_EQ(link.rfind(origin, 0), 0u) << link;
        EXPECT_EQ(link.size(), origin.size() + 6) << link;
        int status = 0;
        // The Location holds the link in UTF-8, as any browser wants it.
        EXPECT_EQ(follow(link, status), "http://example.com/path?q=a%20b&x=\xE4\xB8\xAD") << "service " << n;
        EXPECT_EQ(status, 302);

        // The same link gets the same code again.
        EXPECT_EQ(shorten_one(row, long_link).value, outcome.value) << "service " << n;
    }
}

TEST_F(LocalShortener, ShortLinksSurviveARestart)
{
    const shorten::ServiceSpec row = spec(3);
    const shorten::LinkOutcome before = shorten_one(row, "https://example.org/kept");
    ASSERT_TRUE(before.ok);
    server->stop();
    server.reset();
    start();
    int status = 0;
    EXPECT_EQ(follow(short_link(row, before), status), "https://example.org/kept");
    EXPECT_EQ(status, 302);
    EXPECT_EQ(shorten_one(row, "https://example.org/kept").value, before.value);
    (void)follow("https://" + services.services[2].host + "/zzzzzz", status);
    EXPECT_EQ(status, 404);
}

TEST_F(LocalShortener, BadRequestsGetTheFailureShape)
{
    struct Case {
        const char* what;
        int service;
        Text link;
        Text target_code;
    };
    const Case cases[] = {
        {"no link", 1, "", ""},
        {"a wrong target code", 1, "http://a.example/", "other"},
        {"a wrong kind", 4, "http://a.example/", "other"},
        {"not a web link", 3, "ftp://a.example/", ""},
        {"a link with a tab inside", 5, "http://a.example/a\tb", ""},
        {"no host", 6, "http:///path", ""},
        {"refused on request", 2, "http://a.example/?quenmark-fault=fail", ""},
        {"a line break in the short link", 1, "http://a.example/?quenmark-fault=crlf", ""},
        {"no markers at all", 4, "http://a.example/?quenmark-fault=garbage", ""},
        {"a dropped connection", 3, "http://a.example/?quenmark-fault=reset", ""},
    };
    for (const auto& c : cases) {
        const shorten::ServiceSpec row = spec(c.service, c.target_code);
        const shorten::LinkOutcome outcome = shorten_one(row, c.link);
        EXPECT_FALSE(outcome.ok) << c.what << ": " << outcome.response;
    }
    // Service 2 names its failure "转换失败" instead of leaving the value empty.
    const shorten::LinkOutcome two = shorten_one(spec(2), "ftp://a.example/");
    EXPECT_EQ(two.value, "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC");
    // A link without a scheme is taken as http, as services 4 and 5 get them.
    const shorten::ServiceSpec five = spec(5);
    const shorten::LinkOutcome bare = shorten_one(five, "example.net/x");
    ASSERT_TRUE(bare.ok) << bare.response;
    int status = 0;
    EXPECT_EQ(follow(short_link(five, bare), status), "http://example.net/x");
}

} // namespace
} // namespace quenmark::server
