// The searches' rule spelled out literally, for differential checks of the
// text library: compare at each place, then step one character (two bytes
// from a high-bit byte), and stop when a high-bit byte is the last.
#pragma once

#include <string_view>

namespace quenmark::test_support {

// 1-based position of the first match of `needle` from byte `from`, or -1.
inline int literal_find(std::string_view s, std::string_view needle, std::size_t from, bool ignore_case)
{
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = from; i < s.size() && s.size() - i >= needle.size();) {
        bool equal = true;
        for (std::size_t k = 0; k < needle.size() && equal; ++k)
            equal = ignore_case ? fold(s[i + k]) == fold(needle[k]) : s[i + k] == needle[k];
        if (equal)
            return static_cast<int>(i) + 1;
        if ((s[i] & 0x80) && i + 1 >= s.size())
            break;
        i += (s[i] & 0x80) ? 2 : 1;
    }
    return -1;
}

} // namespace quenmark::test_support
