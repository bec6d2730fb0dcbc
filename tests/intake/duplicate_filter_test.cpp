#include "intake/duplicate_filter.h"

#include <gtest/gtest.h>

#include <random>

namespace quenmark::intake {
namespace {

using text::Text;
using text::TextArray;

TEST(FindDuplicates, Table)
{
    struct Case {
        const char* what;
        Text box;
        TextArray lines;
        std::vector<bool> expected;
    };
    const Case cases[] = {
        {"a blank line counts once the box holds text", "", {"a", "", "b"}, {false, true, false}},
        {"a blank first line into an empty box", "", {"", "a"}, {false, false}},
        {"inside a longer line, case counts", "link/abc\r\n", {"link/ab", "LINK/ABC"}, {true, false}},
        {"the same link twice", "", {"x", "x"}, {false, true}},
        {"only appended lines count", "", {"ab", "ab", "b"}, {false, true, true}},
        {"an unfinished last line continues", "ab", {"c", "bc"}, {false, true}},
        {"a skipped line does not join the box's last line", "ab", {"b", "bx", "b\r"}, {true, false, false}},
        {"a trailing CR meets an appended CR LF", "", {"x", "x\r"}, {false, true}},
        {"a trailing CR does not meet a skipped line", "abc-x", {"abc", "bc\r"}, {true, false}},
        {"never on a second byte", "\xB0\x41", {"A", "\xB0"}, {false, true}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_duplicates(c.box, c.lines), c.expected) << c.what;
        EXPECT_EQ(find_duplicates_naive(c.box, c.lines), c.expected) << c.what;
    }
}

// The suffix-array filter must give exactly the literal rule's answer.
TEST(FindDuplicates, AgreesWithTheLiteralRuleOnRandomInput)
{
    std::mt19937 random(2026);
    const char alphabet[] = {'a', 'b', 'A', '\r', ' ', '\xB0', '\xD6', '\x41'};
    const auto random_text = [&](std::size_t max, bool allow_lf) {
        Text t(random() % (max + 1), 'a');
        for (char& c : t) {
            const auto pick = random() % (sizeof alphabet + (allow_lf ? 1 : 0));
            c = pick < sizeof alphabet ? alphabet[pick] : '\n';
        }
        return t;
    };
    for (int round = 0; round < 20000; ++round) {
        const Text box = random() % 4 == 0 ? Text() : random_text(10, true);
        TextArray lines(random() % 8);
        for (Text& line : lines)
            line = random_text(4, false);
        ASSERT_EQ(find_duplicates(box, lines), find_duplicates_naive(box, lines))
            << "box " << testing::PrintToString(box) << " lines " << testing::PrintToString(lines);
    }
}

TEST(FindDuplicates, ManyLinksAgreeWithTheLiteralRule)
{
    std::mt19937 random(7);
    TextArray lines;
    for (int i = 0; i < 3000; ++i) {
        Text link = "https://example.com/p/" + std::to_string(random() % 2000);
        if (i % 7 == 0)
            link += "\xD6\xD0";
        lines.push_back(link);
    }
    EXPECT_EQ(find_duplicates("https://example.com/p/12\r\n", lines),
              find_duplicates_naive("https://example.com/p/12\r\n", lines));
}

} // namespace
} // namespace quenmark::intake
