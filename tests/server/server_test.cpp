// The local shortening server, spoken to exactly as the program speaks to
// the six services.
#include "http/web_request.h"
#include "server/shortener_server.h"
#include "shorten/shorten_one.h"
#include "support/local_shortener.h"

#include <gtest/gtest.h>


namespace quenmark::server {
namespace {

using text::Text;

class LocalShortenerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(local.valid()); }

    const shorten::ServiceSpec& endpoint_row(int n) const { return local.row(n); }

    shorten::ServiceSpec endpoint_row(int n, std::string_view target_code) const
    {
        const ServiceEndpoint& endpoint = local.services().services[static_cast<std::size_t>(n - 1)];
        return shorten::make_service_row(n, endpoint.host,
                                          target_code.empty() ? endpoint.target_code : target_code,
                                          endpoint.failure_tag);
    }

    Text origin(int n) const
    {
        return "https://" + local.services().services[static_cast<std::size_t>(n - 1)].host + "/";
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

    quenmark::test_support::LocalShortener local;
};

TEST_F(LocalShortenerTest, EveryServiceHandsOutAShortLinkThatRedirects)
{
    const Text long_link = "http://example.com/path?q=a b&x=\xD6\xD0"; // with a blank and 中
    for (int n = 1; n <= 6; ++n) {
        const shorten::ServiceSpec& row = endpoint_row(n);
        const shorten::LinkOutcome outcome = shorten_one(row, long_link);
        ASSERT_TRUE(outcome.ok) << "service " << n << ": " << outcome.response;
        const Text link = short_link(row, outcome);
        EXPECT_EQ(link.rfind(origin(n), 0), 0u) << link;
        EXPECT_EQ(link.size(), origin(n).size() + 6) << link;
        int status = 0;
        // The Location holds the link in UTF-8, as any browser wants it.
        EXPECT_EQ(follow(link, status), "http://example.com/path?q=a%20b&x=\xE4\xB8\xAD") << "service " << n;
        EXPECT_EQ(status, 302);

        // The same link gets the same code again.
        EXPECT_EQ(shorten_one(row, long_link).value, outcome.value) << "service " << n;
    }
}

TEST_F(LocalShortenerTest, ShortLinksSurviveARestart)
{
    const shorten::ServiceSpec& row = endpoint_row(3);
    const shorten::LinkOutcome before = shorten_one(row, "https://example.org/kept");
    ASSERT_TRUE(before.ok);
    ASSERT_TRUE(local.restart());
    int status = 0;
    EXPECT_EQ(follow(short_link(row, before), status), "https://example.org/kept");
    EXPECT_EQ(status, 302);
    EXPECT_EQ(shorten_one(row, "https://example.org/kept").value, before.value);
    (void)follow(origin(3) + "zzzzzz", status);
    EXPECT_EQ(status, 404);
}

TEST_F(LocalShortenerTest, BadRequestsGetTheFailureShape)
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
        const shorten::ServiceSpec row = endpoint_row(c.service, c.target_code);
        const shorten::LinkOutcome outcome = shorten_one(row, c.link);
        EXPECT_FALSE(outcome.ok) << c.what << ": " << outcome.response;
    }
    // Service 2 names its failure "转换失败" instead of leaving the value empty.
    const shorten::LinkOutcome two = shorten_one(endpoint_row(2), "ftp://a.example/");
    EXPECT_EQ(two.value, "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC");
    // A link without a scheme is taken as http, as services 4 and 5 get them.
    const shorten::ServiceSpec& five = endpoint_row(5);
    const shorten::LinkOutcome bare = shorten_one(five, "example.net/x");
    ASSERT_TRUE(bare.ok) << bare.response;
    int status = 0;
    EXPECT_EQ(follow(short_link(five, bare), status), "http://example.net/x");
}

} // namespace
} // namespace quenmark::server
