// One synchronous HTTP request with browser-like default headers.
#pragma once

#include "http/http_object.h"

#include <optional>

namespace quenmark::http {

// The request's parameters, in order. Parameters marked "by flag" decide
// their default from whether they were given; any other parameter left out
// holds its zero value. Out-parameters are written through when given.
struct WebRequest {
    Text url;                  // passed to the object as it is; also the default Referer
    int method = 0;            // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE,
                               // 6 TRACE, 7 CONNECT; anything else is GET
    Text body;                 // sent when body_bytes is empty
    Text* cookies = nullptr;   // in/out, by flag: "name=value; ..." to send; receives
                               // the merged list when merging
    Text* response_cookies = nullptr; // out: the response's Set-Cookie name=value parts
    Text headers;              // extra request header lines separated by CR LF
    Text* response_headers = nullptr; // out: all response headers
    int* status = nullptr;     // out: the response's status code
    bool no_redirect = false;  // true: redirects are not followed
    ByteArray body_bytes;      // sent instead of body when non-empty
    Text proxy;                // host[:port]; empty: no proxy
    int timeout_s = 0;         // each time-out in seconds; -1: the object's own;
                               // below 1: 15 s
    Text proxy_user;
    Text proxy_password;
    std::optional<int> proxy_auth_mode;       // by flag, default 1: 0 server, 1 proxy
    HttpObject* http_object = nullptr;        // by flag: an object to lend
    std::optional<bool> merge_cookies;        // by flag, default true
    std::optional<bool> complete_headers;     // by flag, default true
    std::optional<bool> normalise_header_case; // by flag, default true
};

// Performs the request and returns the response body as received (empty
// when no object could be made or no body came). Fills in the default
// headers the caller's lack (Accept, Referer, Accept-Language, User-Agent,
// and Content-Type for POST), canonicalises header names, sends and gathers
// cookies. A failed exchange gives an empty body, empty response headers,
// status 0 and no received cookies; when no object can be made at all, no
// out-parameter is written.
[[nodiscard]] ByteArray web_request(const WebRequest& request);

} // namespace quenmark::http
