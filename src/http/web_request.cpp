#include "http/web_request.h"

#include "http/headers.h"
#include "text/encoding.h"

#include <algorithm>
#include <array>
#include <climits>

namespace quenmark::http {
namespace {

constexpr std::string_view crlf = "\r\n";

constexpr std::array<std::string_view, 8> verbs = {"GET",     "POST",  "HEAD",    "PUT",
                                                   "OPTIONS", "DELETE", "TRACE", "CONNECT"};

struct DefaultHeader {
    std::string_view key;
    std::string_view line; // the URL follows when it ends in ": " with nothing after
    bool post_only;
};

constexpr std::array<DefaultHeader, 5> default_headers{{
    {"Accept:", "Accept: */*", false},
    {"Referer:", "Referer: ", false},
    {"Accept-Language:", "Accept-Language: zh-cn", false},
    {"User-Agent:", "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded", true},
}};

// Appends each default header whose key the text lacks (ASCII case
// ignored), each test seeing the lines added before it.
Text complete(Text headers, std::string_view url, bool is_post)
{
    for (const DefaultHeader& row : default_headers) {
        if (row.post_only && !is_post)
            continue;
        if (text::find_text(headers, row.key, 1, true) != text::not_found)
            continue;
        headers += crlf;
        headers += row.line;
        if (row.line == "Referer: ")
            headers += url;
    }
    return headers;
}

void set_header_lines(HttpObject& object, std::string_view headers)
{
    if (headers.empty())
        return; // nothing to set; the one-line path would pass an empty name
    if (text::find_text(headers, crlf) == text::not_found) {
        object.set_request_header(header_name(headers), header_value(headers));
        return;
    }
    for (const Text& line : text::split_text(headers, crlf)) {
        if (line.empty())
            continue;
        const Text name = header_name(line);
        const Text value = header_value(line);
        if (name == "Connection" && value == "keep-alive")
            continue;
        object.set_request_header(name, value);
    }
}

// The name=value parts of the Set-Cookie lines, joined by "; ".
Text gather_cookies(std::string_view response_headers)
{
    Text cookies;
    for (const Text& line : text::split_text(response_headers, crlf)) {
        if (text::text_before(line, ": ") != "Set-Cookie")
            continue;
        Text cookie = text::find_text(line, ";") != text::not_found
                          ? text::text_between(line, "Set-Cookie:", ";")
                          : text::replace_subtext(line, "Set-Cookie:");
        cookies += text::trim_both(cookie);
        cookies += "; ";
    }
    if (!cookies.empty())
        cookies.resize(cookies.size() - 2);
    return cookies;
}

} // namespace

ByteArray web_request(const WebRequest& request)
{
    const bool merge_cookies = request.merge_cookies.value_or(true);
    const bool complete_headers = request.complete_headers.value_or(true);
    const bool normalise_header_case = request.normalise_header_case.value_or(true);

    const int method = request.method < 0 || request.method > 7 ? 0 : request.method;

    std::unique_ptr<HttpObject> own_object;
    HttpObject* object = request.http_object;
    if (object == nullptr) {
        own_object = create_http_object();
        object = own_object.get();
        if (object == nullptr)
            return {};
    }

    if (request.timeout_s != -1) {
        const int t = request.timeout_s >= 1 ? std::min(request.timeout_s, INT_MAX / 1000) * 1000
                                             : 15000;
        object->set_timeouts(t, t, t, t);
    }
    if (!request.proxy.empty())
        object->set_proxy(2, request.proxy);
    object->open(verbs[static_cast<std::size_t>(method)], request.url, false);
    if (request.no_redirect)
        object->set_option(HttpObject::option_enable_redirects, 0);
    // Certificates are always verified: the object is never told to ignore
    // certificate errors, or anyone on the path could forge the answers.

    Text headers = request.headers;
    if (complete_headers)
        headers = complete(std::move(headers), request.url, method == 1);
    if (normalise_header_case)
        headers = normalise_headers(headers);

    if (!request.proxy.empty() && !request.proxy_user.empty()) {
        const int mode = request.proxy_auth_mode.value_or(1);
        object->set_credentials(request.proxy_user, request.proxy_password, mode);
        if (mode == 1) {
            const Text pair = request.proxy_user + ":" + request.proxy_password;
            object->set_request_header("Proxy-Authorization",
                                       "Basic " + text::base64_encode(text::text_to_bytes(pair)));
        }
    }

    if (request.cookies != nullptr) {
        Text& cookies = *request.cookies;
        if (!cookies.empty() && text::find_text(cookies, "Cookie:", 1, true) != text::not_found)
            cookies = text::replace_subtext(cookies, "Cookie:");
        object->set_request_header("Cookie", cookies);
    }

    set_header_lines(*object, headers);

    object->send(request.body_bytes.empty() ? text::text_to_bytes(request.body)
                                            : request.body_bytes);

    ByteArray body = object->response_body();
    const Text response_headers = object->all_response_headers();
    const int status = object->status();
    Text response_cookies = gather_cookies(response_headers);
    if (merge_cookies && request.cookies != nullptr)
        response_cookies = merge_cookie_lists(*request.cookies, response_cookies);

    if (request.response_headers != nullptr)
        *request.response_headers = response_headers;
    if (request.status != nullptr)
        *request.status = status;
    if (request.response_cookies != nullptr)
        *request.response_cookies = std::move(response_cookies);
    return body;
}

} // namespace quenmark::http
