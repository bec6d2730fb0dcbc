// The character-aware searches against a literal character-by-character
// scan, and the invariants of splitting and trimming.
#include "check.h"
#include "support/literal_search.h"
#include "text/text.h"

#include <cstdint>
#include <string>

using namespace quenmark::text;

// Input: one byte of flags, then the needle and the text separated by the
// first zero byte (texts never hold one).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool ignore_case = data[0] & 1;
    const int start = static_cast<int>(data[0] >> 1) - 8;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = rest.find('\0');
    if (split == std::string::npos)
        return 0;
    const std::string needle = rest.substr(0, split);
    std::string text = rest.substr(split + 1);
    std::erase(text, '\0');

    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    const int expected = from >= text.size() ? -1
                         : needle.empty()    ? 1
                                             : quenmark::test_support::literal_find(text, needle, from, ignore_case);
    check(find_text(text, needle, start, ignore_case) == expected);

    if (!needle.empty()) {
        const TextArray pieces = split_text(text, needle);
        std::string joined;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            check(quenmark::test_support::literal_find(pieces[i], needle, 0, false) == -1);
            joined += pieces[i];
            if (i + 1 < pieces.size())
                joined += needle;
        }
        check(text.compare(0, joined.size(), joined) == 0);
        const Text replaced = replace_subtext(text, needle, "", 1, -1, true);
        check(replaced.size() <= text.size());
    }
    const Text trimmed = trim_both(text);
    check(trimmed.size() <= text.size() && text.find(trimmed) != std::string::npos);
    check(remove_spaces(text).size() <= text.size());
    check(to_upper(text).size() == text.size());
    return 0;
}
