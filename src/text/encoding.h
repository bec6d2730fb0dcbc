// Code-page conversions, URL percent-encoding and Base64.
//
// All are pure functions, safe on any thread. Conversions go through glibc
// iconv; bytes that are not valid in their source encoding become the
// target's replacement character ('?' for the local code page, U+FFFD for
// UTF-8 and UTF-16) and the conversion goes on after them.
#pragma once

#include "text/text.h"

namespace quenmark::text {

enum class CodePage : int {
    local = 936,  // GB18030, byte-identical to GBK for every GBK character
    utf8 = 65001,
};

// `bytes` (up to the first zero byte) in `code_page`, as little-endian
// UTF-16 ending in one zero code unit. Empty input gives empty UTF-16.
[[nodiscard]] ByteArray bytes_to_utf16(const ByteArray& bytes, CodePage code_page);

// Little-endian UTF-16 (up to its first zero code unit) converted into
// `code_page`, without a terminator. An odd last byte is ignored. UTF-16
// whose first code unit is zero gives empty bytes.
[[nodiscard]] ByteArray utf16_to_bytes(const ByteArray& utf16, CodePage code_page);

// Whether `bytes` are well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut short.
[[nodiscard]] bool is_valid_utf8(std::string_view bytes);

// The UTF-8 bytes of a local text, no terminator.
[[nodiscard]] ByteArray local_to_utf8(std::string_view text);

// A text percent-encoded for a query string or form body: its UTF-8 bytes
// when `as_utf8` (else its local bytes), each byte outside the safe set
// A-Z a-z 0-9 - . _ ' ( ) * written as %XX (upper-case hex), a blank as "+".
// With `keep_unreserved` false only the blank escapes %XX. Empty for empty.
[[nodiscard]] Text url_encode(std::string_view text, bool keep_unreserved = false,
                              bool as_utf8 = false);

// `bytes` percent-encoded as url_encode describes; zero bytes are dropped.
[[nodiscard]] Text percent_encode(const ByteArray& bytes, bool keep_unreserved = false);

// Standard Base64 (RFC 4648 section 4) with "=" padding and no line breaks;
// empty for empty input.
[[nodiscard]] Text base64_encode(const ByteArray& bytes);

} // namespace quenmark::text
