// UTF-8 decoding and URL encoding: no zero byte ever reaches a text, and
// percent-decoding url_encode's output gives back the input's UTF-8.
#include "check.h"
#include "text/encoding.h"

#include <cstdint>
#include <string>

using namespace quenmark::text;

namespace {

std::string percent_decode(std::string_view s)
{
    const auto hex = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%') {
            check(i + 2 < s.size());
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const Text decoded = utf8_to_text(bytes);
    check(decoded.find('\0') == std::string::npos);

    Text local(bytes);
    std::erase(local, '\0'); // a text never holds one
    const Text encoded = url_encode(local, true, true);
    for (const char c : encoded) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                           || std::string_view("-._'()*%+").find(c) != std::string_view::npos;
        check(plain);
    }
    const ByteArray utf8 = local_to_utf8(local);
    check(percent_decode(encoded) == std::string(utf8.begin(), utf8.end()));
    check(base64_encode(text_to_bytes(local)).size() == (local.size() + 2) / 3 * 4);
    return 0;
}
