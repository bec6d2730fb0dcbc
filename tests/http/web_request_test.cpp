#include "http/web_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quenmark::http {
namespace {

// Records every operation as one line and answers with canned values.
class RecordingObject final : public HttpObject {
public:
    std::vector<std::string> calls;
    Text answer_headers;
    ByteArray answer_body = text::text_to_bytes("ok");
    int answer_status = 200;
    ByteArray sent_body;

    void set_timeouts(int a, int b, int c, int d) override
    {
        calls.push_back("timeouts " + std::to_string(a) + " " + std::to_string(b) + " "
                        + std::to_string(c) + " " + std::to_string(d));
    }
    void set_proxy(int setting, std::string_view proxy) override
    {
        calls.push_back("proxy " + std::to_string(setting) + " " + std::string(proxy));
    }
    void open(std::string_view verb, std::string_view url, bool asynchronous) override
    {
        calls.push_back("open " + std::string(verb) + " " + std::string(url)
                        + (asynchronous ? " async" : ""));
    }
    void set_option(int index, int value) override
    {
        calls.push_back("option " + std::to_string(index) + " " + std::to_string(value));
    }
    void set_credentials(std::string_view user, std::string_view password, int target) override
    {
        calls.push_back("credentials " + std::string(user) + " " + std::string(password) + " "
                        + std::to_string(target));
    }
    void set_request_header(std::string_view name, std::string_view value) override
    {
        calls.push_back("header " + std::string(name) + "|" + std::string(value));
    }
    void send(const ByteArray& body) override
    {
        sent_body = body;
        calls.push_back("send");
    }
    ByteArray response_body() override { return answer_body; }
    Text all_response_headers() override { return answer_headers; }
    int status() override { return answer_status; }

    // Only the header lines, in order.
    std::vector<std::string> headers() const
    {
        std::vector<std::string> out;
        for (const auto& call : calls) {
            if (call.rfind("header ", 0) == 0)
                out.push_back(call.substr(7));
        }
        return out;
    }

    bool called(std::string_view prefix) const
    {
        for (const auto& call : calls) {
            if (call.rfind(prefix, 0) == 0)
                return true;
        }
        return false;
    }
};

const std::string user_agent = "User-Agent|Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const Text url = "https://s.example/api?x=%7E";

TEST(WebRequest, BatchPostAndGetSendTheCompletedHeadersInOrder)
{
    RecordingObject post;
    const ByteArray body = web_request({.url = url,
                                        .method = 1,
                                        .body = "url=a%2Fb",
                                        .headers = "content-type: application/x-www-form-urlencoded; charset=UTF-8",
                                        .http_object = &post});
    EXPECT_EQ(body, (ByteArray{'o', 'k'}));
    EXPECT_EQ(post.calls.front(), "timeouts 15000 15000 15000 15000");
    EXPECT_EQ(post.calls[1], "open POST " + url);
    EXPECT_EQ(post.headers(),
              (std::vector<std::string>{"Content-Type|application/x-www-form-urlencoded; charset=UTF-8",
                                        "Accept|*/*", "Referer|" + url, "Accept-Language|zh-cn",
                                        user_agent}));
    EXPECT_EQ(post.sent_body, text::text_to_bytes("url=a%2Fb"));
    EXPECT_EQ(post.calls.back(), "send");

    RecordingObject get;
    (void)web_request({.url = url, .headers = "content-type: text/html; charset=UTF-8", .http_object = &get});
    EXPECT_EQ(get.headers(),
              (std::vector<std::string>{"Content-Type|text/html; charset=UTF-8", "Accept|*/*",
                                        "Referer|" + url, "Accept-Language|zh-cn", user_agent}));
}

TEST(WebRequest, DefaultHeaders)
{
    struct Case {
        const char* what;
        int method;
        Text headers;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"plain GET", 0, "", {"Accept|*/*", "Referer|" + url, "Accept-Language|zh-cn", user_agent}},
        {"method 8 is GET", 8, "", {"Accept|*/*", "Referer|" + url, "Accept-Language|zh-cn", user_agent}},
        {"POST gets a Content-Type", 1, "",
         {"Accept|*/*", "Referer|" + url, "Accept-Language|zh-cn", user_agent,
          "Content-Type|application/x-www-form-urlencoded"}},
        {"a key anywhere suppresses its default", 0, "X-Note: no Referer: here",
         {"X-Note|no Referer: here", "Accept|*/*", "Accept-Language|zh-cn", user_agent}},
        {"keep-alive is never sent", 0,
         "Connection: keep-alive\r\nAccept: a\r\nReferer: r\r\nAccept-Language: l\r\nUser-Agent: u",
         {"Accept|a", "Referer|r", "Accept-Language|l", "User-Agent|u"}},
        {"other Connection values are", 0,
         "Connection: close\r\nX: 1\r\nAccept: a\r\nReferer: r\r\nAccept-Language: l\r\nUser-Agent: u",
         {"Connection|close", "X|1", "Accept|a", "Referer|r", "Accept-Language|l", "User-Agent|u"}},
        {"keep-alive compares with case", 0,
         "Connection: Keep-Alive\r\nAccept: a\r\nReferer: r\r\nAccept-Language: l\r\nUser-Agent: u",
         {"Connection|Keep-Alive", "Accept|a", "Referer|r", "Accept-Language|l", "User-Agent|u"}},
    };
    for (const auto& c : cases) {
        RecordingObject object;
        (void)web_request({.url = url, .method = c.method, .headers = c.headers, .http_object = &object});
        EXPECT_EQ(object.headers(), c.expected) << c.what;
        EXPECT_TRUE(object.called(c.method == 1 ? "open POST" : "open GET")) << c.what;
    }

    RecordingObject raw;
    (void)web_request({.url = url,
                       .headers = "Connection: keep-alive",
                       .http_object = &raw,
                       .complete_headers = false,
                       .normalise_header_case = false});
    EXPECT_EQ(raw.headers(), (std::vector<std::string>{"Connection|keep-alive"}));

    RecordingObject none;
    (void)web_request({.url = url, .http_object = &none, .complete_headers = false});
    EXPECT_TRUE(none.headers().empty());
}

TEST(WebRequest, TimeoutsRedirectsAndMethods)
{
    struct Case {
        int timeout_s;
        const char* expected; // nullptr: no call
    };
    const Case cases[] = {{-1, nullptr},
                          {0, "timeouts 15000 15000 15000 15000"},
                          {-5, "timeouts 15000 15000 15000 15000"},
                          {30, "timeouts 30000 30000 30000 30000"},
                          {INT32_MAX, "timeouts 2147483000 2147483000 2147483000 2147483000"}};
    for (const auto& c : cases) {
        RecordingObject object;
        (void)web_request({.url = url, .timeout_s = c.timeout_s, .http_object = &object});
        EXPECT_EQ(object.called("timeouts"), c.expected != nullptr) << c.timeout_s;
        if (c.expected != nullptr) {
            EXPECT_EQ(object.calls.front(), c.expected);
        }
    }

    RecordingObject no_redirect;
    (void)web_request({.url = url, .no_redirect = true, .http_object = &no_redirect});
    EXPECT_TRUE(no_redirect.called("option 6 0"));
    RecordingObject redirect;
    (void)web_request({.url = url, .http_object = &redirect});
    EXPECT_FALSE(redirect.called("option")); // certificate errors are never waved through

    const char* verbs[] = {"GET", "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT", "GET"};
    for (int method = -1; method <= 8; ++method) {
        RecordingObject object;
        (void)web_request({.url = url, .method = method, .http_object = &object});
        EXPECT_TRUE(object.called(std::string("open ") + verbs[method + 1] + " ")) << method;
    }
}

TEST(WebRequest, BodiesAndProxy)
{
    RecordingObject both;
    (void)web_request({.url = url, .method = 1, .body = "text", .body_bytes = {1, 0, 2}, .http_object = &both});
    EXPECT_EQ(both.sent_body, (ByteArray{1, 0, 2}));

    RecordingObject proxy_only;
    (void)web_request({.url = url, .proxy = "10.0.0.1:3128", .http_object = &proxy_only});
    EXPECT_TRUE(proxy_only.called("proxy 2 10.0.0.1:3128"));
    EXPECT_FALSE(proxy_only.called("credentials"));

    RecordingObject to_proxy;
    (void)web_request({.url = url, .proxy = "p:1", .proxy_user = "user", .proxy_password = "pass", .http_object = &to_proxy});
    EXPECT_TRUE(to_proxy.called("credentials user pass 1"));
    EXPECT_EQ(to_proxy.headers().front(), "Proxy-Authorization|Basic dXNlcjpwYXNz");

    RecordingObject to_server;
    (void)web_request({.url = url, .proxy = "p:1", .proxy_user = "user", .proxy_password = "pass",
                       .proxy_auth_mode = 0, .http_object = &to_server});
    EXPECT_TRUE(to_server.called("credentials user pass 0"));
    EXPECT_FALSE(to_server.called("header Proxy-Authorization"));
}

TEST(WebRequest, Cookies)
{
    Text cookies = "Cookie: a=1";
    RecordingObject prefixed;
    (void)web_request({.url = url, .cookies = &cookies, .http_object = &prefixed, .merge_cookies = false});
    EXPECT_EQ(prefixed.headers().front(), "Cookie| a=1");
    EXPECT_EQ(cookies, " a=1");

    Text empty;
    RecordingObject given_empty;
    (void)web_request({.url = url, .cookies = &empty, .http_object = &given_empty});
    EXPECT_EQ(given_empty.headers().front(), "Cookie|");

    RecordingObject not_given;
    (void)web_request({.url = url, .http_object = &not_given});
    EXPECT_FALSE(not_given.called("header Cookie"));

    RecordingObject server;
    server.answer_headers = "Set-Cookie: a=1; path=/\r\nset-cookie: x=9\r\nSet-Cookie: b=2\r\n";
    Text received = "old";
    Text headers;
    int status = 0;
    (void)web_request({.url = url, .response_cookies = &received, .response_headers = &headers,
                       .status = &status, .http_object = &server});
    EXPECT_EQ(received, "a=1; b=2");
    EXPECT_EQ(headers, server.answer_headers);
    EXPECT_EQ(status, 200);

    Text jar = "a=0; keep=1";
    RecordingObject merging;
    merging.answer_headers = "Set-Cookie: a=1; path=/\r\nSet-Cookie: gone=deleted\r\n";
    (void)web_request({.url = url, .cookies = &jar, .response_cookies = &received, .http_object = &merging});
    EXPECT_EQ(jar, "a=1; keep=1");
    EXPECT_EQ(received, "a=1; keep=1");
}

} // namespace
} // namespace quenmark::http
