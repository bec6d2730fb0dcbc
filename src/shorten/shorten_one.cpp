#include "shorten/shorten_one.h"

#include "http/web_request.h"
#include "text/encoding.h"

namespace quenmark::shorten {

LinkOutcome shorten_one(const ServiceSpec& row, std::string_view link, http::HttpObject* object,
                        int timeout_s)
{
    const Text encoded = text::url_encode(link, true, true);
    http::WebRequest request{.url = row.url_prefix, .method = row.method, .headers = row.headers,
                             .timeout_s = timeout_s, .http_object = object};
    if (row.method == 1)
        request.body = row.body_prefix + encoded + row.body_suffix;
    else
        request.url += encoded;
    return read_answer(row, http::web_request(request));
}

LinkOutcome read_answer(const ServiceSpec& row, const text::ByteArray& body)
{
    LinkOutcome outcome;
    outcome.response = row.utf8_response ? text::utf8_to_text(body) : text::bytes_to_text(body);
    outcome.value = text::text_between(outcome.response, row.start_marker, row.end_marker);
    if (row.strip_backslashes) {
        // Character-aware: a backslash byte inside a two-byte character stays.
        Text joined;
        for (const Text& piece : text::split_text(outcome.value, "\\"))
            joined += piece;
        outcome.value = std::move(joined);
    }
    outcome.ok = !outcome.value.empty() && outcome.value != row.failure_value
                 && outcome.value.find_first_of("\r\n") == Text::npos;
    return outcome;
}

} // namespace quenmark::shorten
