// The six shortening services: how a request is built for one long link
// and how the short link is read from the answer.
#pragma once

#include "text/text.h"

#include <array>

namespace quenmark::shorten {

using text::Text;

// One service. Texts are local texts; every value is fixed at build time.
struct ServiceSpec {
    int number = 0;           // 1..6, the digit of the radio button that chooses it
    int method = 0;           // web_request method: 0 GET, 1 POST
    Text url_prefix;          // the URL; a GET service appends the encoded link
    Text body_prefix;         // POST: form text before the encoded link
    Text body_suffix;         // POST: form text after it
    Text headers;             // web_request's headers
    bool utf8_response = false; // decode the answer from UTF-8 (else take its bytes)
    Text start_marker;        // text before the wanted value in the answer
    Text end_marker;          // text after it
    bool strip_backslashes = false; // remove every backslash from the value
    Text short_link_base;     // put before the value in the result line
    Text failure_value;       // the value that means failure
    Text failure_lead;        // opening text of a failure line
    Text failure_tag;         // word naming the service at the end of a failure line
    bool normalise_links = false; // the Shorten command normalises links first
};

// The six rows the Shorten command chooses from: index n - 1 for service n.
using Catalogue = std::array<ServiceSpec, 6>;

// The rows of this build's services file.
[[nodiscard]] const Catalogue& built_in_catalogue();

// The row of service `number` (1..6) for an endpoint at `host` (host[:port])
// with the given aggregator code and failure tag.
[[nodiscard]] ServiceSpec make_service_row(int number, std::string_view host,
                                            std::string_view target_code,
                                            std::string_view failure_tag);

} // namespace quenmark::shorten
