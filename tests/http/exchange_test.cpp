// Real exchanges between the libcurl object and servers on the loopback
// interface.
#include "http/abort_signal.h"
#include "http/web_request.h"
#include "support/local_https_server.h"
#include "support/raw_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quenmark::http {
namespace {

using quenmark::test_support::LocalHttpsServer;
using quenmark::test_support::RawHttpServer;
using quenmark::test_support::TrustedAuthority;

const std::string user_agent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

std::string as_string(const ByteArray& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// One identity for the whole program: key generation is the slow part.
const server::TlsIdentity& identity()
{
    static const server::TlsIdentity made = server::make_tls_identity("Quenmark test CA");
    return made;
}

void add_routes(httplib::Server& server, const std::atomic<bool>& stopping)
{
    server.Get("/hello", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("hello", "text/plain");
    });
    server.Get("/slow", [&stopping](const httplib::Request&, httplib::Response& response) {
        for (int waited = 0; waited < 5000 && !stopping; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        response.set_content("late", "text/plain");
    });
    server.Get("/bytes", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(std::string(std::stoul(request.get_param_value("n")), 'x'), "text/plain");
    });
    server.Get("/cookies", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "a=1; path=/");
        response.set_header("Set-Cookie", "b=2");
        response.set_content("", "text/plain");
    });
    server.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/hello");
    });
    server.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/loop");
    });
}

class HttpsExchange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.valid()); }
    void TearDown() override { stopping = true; }

    struct Outcome {
        std::string body;
        int status = -1;
        Text headers;
        Text cookies;
    };

    Outcome get(const std::string& path, WebRequest request = {})
    {
        Outcome outcome;
        request.url = server.url(path);
        request.status = &outcome.status;
        request.response_headers = &outcome.headers;
        request.response_cookies = &outcome.cookies;
        outcome.body = as_string(web_request(request));
        return outcome;
    }

    std::atomic<bool> stopping = false;
    LocalHttpsServer server{identity(), [this](httplib::Server& s) { add_routes(s, stopping); }};
};

TEST_F(HttpsExchange, TrustedCertificatePassesAndAnyOtherFails)
{
    {
        TrustedAuthority trust(identity().ca_certificate);
        const Outcome ok = get("/hello");
        EXPECT_EQ(ok.body, "hello");
        EXPECT_EQ(ok.status, 200);
        EXPECT_NE(ok.headers.find("Content-Type: text/plain\r\n"), std::string::npos);
    }
    {
        const server::TlsIdentity stranger = server::make_tls_identity("Someone else");
        TrustedAuthority trust(stranger.ca_certificate);
        const Outcome refused = get("/hello");
        EXPECT_EQ(refused.body, "");
        EXPECT_EQ(refused.status, 0);
        EXPECT_EQ(refused.headers, "");
    }
}

TEST_F(HttpsExchange, FailuresAreEmptyExchanges)
{
    TrustedAuthority trust(identity().ca_certificate);
    struct Case {
        const char* what;
        std::string path;
        WebRequest request;
        std::string body;
        int status;
    };
    const std::size_t limit = 16u << 20;
    const Case cases[] = {
        {"a body at the limit", "/bytes?n=" + std::to_string(limit), {}, std::string(limit, 'x'), 200},
        {"a body over the limit", "/bytes?n=" + std::to_string(limit + 1), {}, "", 0},
        {"a server slower than the time-out", "/slow", {.timeout_s = 1}, "", 0},
        {"a redirect followed", "/moved", {}, "hello", 200},
        {"a redirect not followed", "/moved", {.no_redirect = true}, "", 302},
        {"a redirect loop", "/loop", {}, "", 0},
        {"nothing listening", "", {}, "", 0},
    };
    for (const auto& c : cases) {
        WebRequest request = c.request;
        Outcome outcome;
        if (c.path.empty()) {
            request.url = "https://127.0.0.1:1/";
            request.status = &outcome.status;
            outcome.body = as_string(web_request(request));
        } else {
            outcome = get(c.path, request);
        }
        EXPECT_EQ(outcome.body.size(), c.body.size()) << c.what;
        EXPECT_TRUE(outcome.body == c.body) << c.what;
        EXPECT_EQ(outcome.status, c.status) << c.what;
    }
}

TEST_F(HttpsExchange, GathersSetCookieLines)
{
    TrustedAuthority trust(identity().ca_certificate);
    EXPECT_EQ(get("/cookies").cookies, "a=1; b=2");

    Text jar = "b=0; c=3";
    (void)get("/cookies", {.cookies = &jar});
    EXPECT_EQ(jar, "a=1; b=2; c=3");
    const auto requests = server.requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().headers.front(), std::make_pair(std::string("Accept"), std::string("*/*")));
}

TEST(WireExchange, HeadersReachTheWireInOrderAndTheUrlByteForByte)
{
    RawHttpServer server(RawHttpServer::answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
    ASSERT_TRUE(server.valid());
    const std::string url = server.url("/api?u=a%7Eb%2F");
    const std::string host = url.substr(7, url.find('/', 7) - 7);

    const ByteArray post = web_request(
        {.url = url,
         .method = 1,
         .body = "url=http%3A%2F%2Fa",
         .headers = "content-type: application/x-www-form-urlencoded; charset=UTF-8"});
    EXPECT_EQ(as_string(post), "ok");
    (void)web_request({.url = url, .headers = "content-type: text/html; charset=UTF-8"});
    (void)web_request({.url = url, .cookies = nullptr, .complete_headers = false});

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], "POST /api?u=a%7Eb%2F HTTP/1.1\r\n"
                           "Host: " + host + "\r\n"
                           "Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n"
                           "Accept: */*\r\n"
                           "Referer: " + url + "\r\n"
                           "Accept-Language: zh-cn\r\n"
                           "User-Agent: " + user_agent + "\r\n"
                           "Content-Length: 18\r\n"
                           "\r\n"
                           "url=http%3A%2F%2Fa");
    EXPECT_EQ(requests[1], "GET /api?u=a%7Eb%2F HTTP/1.1\r\n"
                           "Host: " + host + "\r\n"
                           "Content-Type: text/html; charset=UTF-8\r\n"
                           "Accept: */*\r\n"
                           "Referer: " + url + "\r\n"
                           "Accept-Language: zh-cn\r\n"
                           "User-Agent: " + user_agent + "\r\n"
                           "\r\n");
    // Without completion the request carries nothing it was not given.
    EXPECT_EQ(requests[2], "GET /api?u=a%7Eb%2F HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
}

TEST(WireExchange, AbortEndsAWaitingRequestAtOnce)
{
    RawHttpServer silent([](int, const std::string&, const std::atomic<bool>& stopping) {
        while (!stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    ASSERT_TRUE(silent.valid());
    AbortSignal signal;
    const auto object = create_http_object({.abort = &signal});
    ASSERT_TRUE(object);
    int status = -1;
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        signal.abort();
    });
    const auto started = std::chrono::steady_clock::now();
    const ByteArray body = web_request({.url = silent.url("/"), .status = &status, .http_object = object.get()});
    const auto waited = std::chrono::steady_clock::now() - started;
    aborter.join();
    EXPECT_TRUE(body.empty());
    EXPECT_EQ(status, 0);
    // Far below the 15 s time-out: the abort, not a time-out, ended it.
    EXPECT_LT(waited, std::chrono::seconds(5));

    // Once set, the signal fails later requests without connecting.
    const std::size_t seen = silent.requests().size();
    (void)web_request({.url = silent.url("/"), .status = &status, .http_object = object.get()});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(silent.requests().size(), seen);
}

} // namespace
} // namespace quenmark::http
