// One long link through one shortening service.
#pragma once

#include "http/http_object.h"
#include "shorten/catalogue.h"

namespace quenmark::shorten {

struct LinkOutcome {
    bool ok = false;
    Text value;     // what was read between the row's markers
    Text response;  // the decoded answer
};

// Reads an answer of the service of `row` (the response body as received):
// decodes it, takes the value between the row's markers, removes
// backslashes when the row says so, and judges it as shorten_one does.
[[nodiscard]] LinkOutcome read_answer(const ServiceSpec& row, const text::ByteArray& body);

// Sends `link` (a non-empty local text) to the service of `row` as its
// interface wants it (the link percent-encoded as UTF-8) and reads the
// value between the row's markers, backslashes removed when the row says
// so. The link succeeded when that value is not empty, differs from the
// row's failure value and holds no CR or LF (so one answer can never add
// lines to the results). `object`, when given, carries the request (a
// caller that may abort lends one); otherwise a new one does. `timeout_s`
// is web_request's: 0 for its default of 15 s.
[[nodiscard]] LinkOutcome shorten_one(const ServiceSpec& row, std::string_view link,
                                      http::HttpObject* object = nullptr, int timeout_s = 0);

} // namespace quenmark::shorten
