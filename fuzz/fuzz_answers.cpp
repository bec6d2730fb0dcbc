// Every service's answer reader on arbitrary bodies: a link it accepts is
// never empty, never the failure value, and can never add a line.
#include "check.h"
#include "shorten/batch.h"
#include "shorten/shorten_one.h"

#include <cstdint>

using namespace quenmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const text::ByteArray body(data, data + size);
    for (int n = 1; n <= 6; ++n) {
        const shorten::ServiceSpec row = shorten::make_service_row(n, "s.example", "code", "tag");
        const shorten::LinkOutcome outcome = shorten::read_answer(row, body);
        check(outcome.response.find('\0') == std::string::npos);
        if (!outcome.ok)
            continue;
        check(!outcome.value.empty() && outcome.value != row.failure_value);
        const text::Text line = shorten::result_line(row, outcome.value);
        check(line.find('\n') == line.size() - 1 && line.find('\r') == line.size() - 2);
        if (row.strip_backslashes)
            check(text::find_text(outcome.value, "\\") == -1);
    }
    return 0;
}
