// The HTTP request object that web_request drives.
#pragma once

#include "text/text.h"

#include <memory>
#include <string_view>

namespace quenmark::http {

using text::ByteArray;
using text::Text;

// One HTTP exchange at a time, configured step by step and then sent
// synchronously. No operation reports failure: a failed exchange (no
// connection, a time-out, a certificate that does not verify, a response
// over the size limit, an abort) leaves an empty body, empty headers and
// status 0, and the caller simply goes on.
class HttpObject {
public:
    // Option indexes understood by set_option.
    static constexpr int option_enable_redirects = 6;

    virtual ~HttpObject() = default;

    // Time-outs in milliseconds: name resolution, connecting, sending and
    // receiving.
    virtual void set_timeouts(int resolve_ms, int connect_ms, int send_ms, int receive_ms) = 0;
    // `setting` 2 routes requests through `proxy` (host[:port]).
    virtual void set_proxy(int setting, std::string_view proxy) = 0;
    // Starts a new request: its verb and URL (used byte for byte). Only
    // synchronous requests exist, so `asynchronous` must be false.
    virtual void open(std::string_view verb, std::string_view url, bool asynchronous) = 0;
    virtual void set_option(int index, int value) = 0;
    // `target` 0: credentials for the server; 1: for the proxy.
    virtual void set_credentials(std::string_view user, std::string_view password, int target) = 0;
    virtual void set_request_header(std::string_view name, std::string_view value) = 0;
    // Sends the request with `body` and waits for the whole response.
    virtual void send(const ByteArray& body) = 0;

    [[nodiscard]] virtual ByteArray response_body() = 0;
    // The final response's headers, one "Name: value" line each, every line
    // ending in CR LF; empty after a failed exchange.
    [[nodiscard]] virtual Text all_response_headers() = 0;
    // The final response's status code; 0 after a failed exchange.
    [[nodiscard]] virtual int status() = 0;
};

class AbortSignal;

struct HttpObjectOptions {
    // Requests made with this signal end as failed exchanges once it is set.
    AbortSignal* abort = nullptr;
    // Reuse connections, TLS sessions and name look-ups across objects.
    bool share_connections = true;
};

// A new libcurl-backed object, or null when none can be made.
//
// Certificates are verified (peer and host name) against the system's
// trust store, or the file named by SSL_CERT_FILE and the folder named by
// SSL_CERT_DIR when set. Only http and https are spoken, over HTTP/1.1;
// redirects are followed (at most 10) unless switched off. Time-outs: name
// look-up and connecting within their sum, then no silence (no byte moving
// either way) longer than the receive time-out, and the whole exchange
// within the sum of all four (without set_timeouts: 60 s to connect, 30 s
// of silence, 120 s in all).
// A body over 16 MiB or headers over 1 MiB end the exchange as a failure.
[[nodiscard]] std::unique_ptr<HttpObject> create_http_object(const HttpObjectOptions& options = {});

} // namespace quenmark::http
