#include "support/literal_search.h"
#include "text/text.h"

#include <gtest/gtest.h>

#include <random>

namespace quenmark::text {
namespace {

// Texts in the local code page, spelled byte by byte.
const Text zhong = "\xD6\xD0";            // 中
const Text full_width_space = "\xA1\xA1"; // 　
const Text emoji = "\x94\x39\xFC\x36";    // U+1F600, a four-byte character

struct FindCase {
    Text text;
    Text needle;
    int start;
    bool ignore_case;
    int expected;
};

TEST(FindText, Table)
{
    const FindCase cases[] = {
        {"abcabc", "bc", 1, false, 2},
        {"abcabc", "bc", 3, false, 5},
        {"abcabc", "bc", 6, false, -1},
        {"abcabc", "bc", 7, false, -1},
        {"abcabc", "bc", 0, false, 2},
        {"abcabc", "bc", -5, false, 2},
        {"abc", "", 1, false, 1},
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 1, false, -1},
        {"", "a", 1, false, -1},
        {"xABx", "ab", 1, true, 2},
        {"xABx", "ab", 1, false, -1},
        {"ab", "abc", 1, false, -1},
        // A second byte that looks like ASCII is never a match start.
        {"\xB0\x41\x41", "A", 1, false, 3},
        {"\xB0\x41\x41", "a", 1, true, 3},
        {"\xB0\x61x", "A", 1, true, -1},
        // Starting on a second byte makes it a first byte of the scan.
        {"\xB0\x41\x41", "A", 2, false, 2},
        // A four-byte character: its pairs hide their ASCII second bytes.
        {emoji + "96", "9", 1, false, 5},
        {emoji + "6", "6", 1, false, 5},
        {zhong + "\xD0\xD6", "\xD0\xD6", 1, false, 3},
        {"a" + zhong, zhong, 1, false, 2},
        // A lone first byte at the very end can still match on its own.
        {"ab\xB0", "\xB0", 1, false, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_text(c.text, c.needle, c.start, c.ignore_case), c.expected)
            << testing::PrintToString(c.text) << " / " << testing::PrintToString(c.needle)
            << " from " << c.start;
    }
}

TEST(FindText, EveryFirstByteValue)
{
    // For each possible byte b, in b 'A' 'A' the first 'A' is found only when
    // b is a one-byte character.
    for (int b = 1; b < 256; ++b) {
        const Text text = {static_cast<char>(b), 'A', 'A'};
        const int expected = b < 0x80 && b != 'A' ? 2 : (b == 'A' ? 1 : 3);
        EXPECT_EQ(find_text(text, "A"), expected) << "byte " << b;
        EXPECT_EQ(split_text(text + "A", "AA").size(), b < 0x80 ? 2u : 1u) << "byte " << b;
    }
}

TEST(FindTextReverse, Table)
{
    const FindCase cases[] = {
        {"abcabc", "abc", INT32_MAX, false, 4},
        {"abcabc", "abc", 7, false, 4},
        {"abcabc", "abc", 6, false, 1},
        {"abcabc", "abc", 1, false, -1},
        {"abcabc", "abc", 100, false, 4},
        {"abc", "", 2, false, 1},
        {"abc", "", 1, false, -1},
        {"aXbx", "x", INT32_MAX, true, 4},
        {"aXbx", "X", INT32_MAX, false, 2},
        {"A\xB0\x41", "A", INT32_MAX, false, 1},
        {"aaa", "aa", INT32_MAX, false, 2}, // overlapping matches count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_text_reverse(c.text, c.needle, c.start, c.ignore_case), c.expected)
            << testing::PrintToString(c.text) << " / " << testing::PrintToString(c.needle)
            << " before " << c.start;
    }
}

TEST(SplitText, Table)
{
    struct Case {
        Text text;
        Text delimiter;
        TextArray expected;
    };
    const Case cases[] = {
        {"a\r\n\r\nb\r\n", "\r\n", {"a", "", "b"}},
        {"", "\r\n", {}},
        {"\r\n", "\r\n", {""}},
        {"\r\na", "\r\n", {"", "a"}},
        {"abc", "\r\n", {"abc"}},
        {"abc", "", {"abc"}},
        {"a; b; ", "; ", {"a", "b"}},
        {"a\nb", "\r\n", {"a\nb"}},
        // \xB0\x0D is one character: its second byte cannot start a CR LF.
        {"x\xB0\r\ny", "\r\n", {"x\xB0\r\ny"}},
        {"x\xB0\x41\r\ny", "\r\n", {"x\xB0\x41", "y"}},
        // A lone first byte at the end stays in the last piece.
        {"a\r\n\xB0", "\r\n", {"a", "\xB0"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split_text(c.text, c.delimiter), c.expected) << testing::PrintToString(c.text);
}

TEST(Blanks, TrimAndRemove)
{
    EXPECT_EQ(trim_both(" \tA" + full_width_space + " "), "\tA");
    EXPECT_EQ(trim_both(full_width_space + " a b " + full_width_space), "a b");
    EXPECT_EQ(trim_both("   "), "");
    EXPECT_EQ(trim_both(""), "");
    EXPECT_EQ(trim_both("a\r\n"), "a\r\n"); // CR and LF are not blanks
    EXPECT_EQ(trim_both("a \xB0"), "a");    // a lone first byte at the end goes too
    // \xB0\xA1 + \xA1\x20: the full-width pattern straddles two characters,
    // and the final space is the second byte of one.
    EXPECT_EQ(trim_both("\xB0\xA1\xA1 "), "\xB0\xA1\xA1 ");
    EXPECT_EQ(trim_both(zhong + full_width_space), zhong);
    EXPECT_EQ(trim_blanks_and_tabs("\t " + full_width_space + "a\tb \t"), "a\tb");
    EXPECT_EQ(trim_blanks_and_tabs(" \t\r\n"), "\r\n");
    EXPECT_EQ(trim_blanks_and_tabs("\t\t"), "");

    EXPECT_EQ(remove_spaces("a b\tc"), "ab\tc");
    EXPECT_EQ(remove_spaces("a" + full_width_space + "b" + zhong + " "), "ab" + zhong);
    EXPECT_EQ(remove_spaces("\xB0 x\xB0"), "\xB0 x"); // \xB0\x20 is one character
}

TEST(Blanks, EveryByteValueNextToASpace)
{
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const Text text = {' ', c, ' ', 'z'};
        // A high-bit byte swallows the blank after it as its second byte.
        const Text trimmed = b == ' ' ? "z" : Text{c, ' ', 'z'};
        EXPECT_EQ(trim_both(text), trimmed) << "byte " << b;
        const Text removed = b == ' ' ? "z" : (b < 0x80 ? Text{c, 'z'} : Text{c, ' ', 'z'});
        EXPECT_EQ(remove_spaces(text), removed) << "byte " << b;
        const Text upper = {' ', b >= 'a' && b <= 'z' ? static_cast<char>(b - 32) : c, ' ', 'Z'};
        EXPECT_EQ(to_upper(text), upper) << "byte " << b;
    }
}

TEST(ReplaceSpan, Table)
{
    EXPECT_EQ(replace_span("abcdef", 3, 2), "abef");
    EXPECT_EQ(replace_span("abcdef", 0, 2), "cdef");
    EXPECT_EQ(replace_span("abcdef", 10, 0, "x"), "abcdefx");
    EXPECT_EQ(replace_span("abcdef", 3, 10), "ab");
    EXPECT_EQ(replace_span("abcdef", 3, 0, "XY"), "abXYcdef");
    EXPECT_EQ(replace_span("abcdef", 3, -1, "X"), "abXcdef");
    EXPECT_EQ(replace_span("", 1, 1, "x"), "x");
}

TEST(ReplaceSubtext, Table)
{
    EXPECT_EQ(replace_subtext("aXbxc", "x", "-"), "a-b-c");
    EXPECT_EQ(replace_subtext("aXbxc", "x", "-", 1, -1, true), "aXb-c");
    EXPECT_EQ(replace_subtext("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replace_subtext("xxxx", "x", "y", 2, 2), "xyyx");
    EXPECT_EQ(replace_subtext("xxxx", "x", "y", 1, 0), "xxxx");
    EXPECT_EQ(replace_subtext("xxxx", "x", "y", 5), "xxxx");
    EXPECT_EQ(replace_subtext("xxxx", "", "y"), "xxxx");
    EXPECT_EQ(replace_subtext("Cookie: a=1", "cookie:"), " a=1");
    EXPECT_EQ(replace_subtext("\xB0\x41\x41", "A", "-"), "\xB0\x41-");
}

TEST(Markers, TextBetween)
{
    const Text json = R"({"code":0,"url":"http:\/\/s.example\/ab"})";
    EXPECT_EQ(text_between(json, "\"url\":\"", "\""), "http:\\/\\/s.example\\/ab");
    // "#引号" stands for a double quote in either marker.
    EXPECT_EQ(text_between("say \"hi\" now", "#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5"), "hi");
    EXPECT_EQ(text_between("a[b]c", "[", ")"), "");
    EXPECT_EQ(text_between("a[]c", "[", "]"), "");
    EXPECT_EQ(text_between("a[b]c", "[", ""), "");
    EXPECT_EQ(text_between("a[b]c", "(", "]"), "");
    EXPECT_EQ(text_between("<A>x</a>", "<a>", "</A>", 1, true), "x");
    EXPECT_EQ(text_between("[1][2]", "[", "]", 2), "2");
}

TEST(Markers, TextBefore)
{
    EXPECT_EQ(text_before("Set-Cookie: a=1", ": "), "Set-Cookie");
    EXPECT_EQ(text_before("a:b:c", ":", -1), "a:b");
    EXPECT_EQ(text_before("a:b:c", ":", -2), "a");
    EXPECT_EQ(text_before("a:b:c", ":", -3), "a");
    EXPECT_EQ(text_before("a:b:c", ":", -4), "");
    EXPECT_EQ(text_before("a:b:c", ":", 0), "a");
    EXPECT_EQ(text_before("a:b:c", ":", 3), "a:b");
    EXPECT_EQ(text_before("abc", ":"), "");
}

TEST(SmallOperations, Table)
{
    EXPECT_EQ(char_code("A"), 65);
    EXPECT_EQ(char_code("\xB0"), -80);
    EXPECT_EQ(char_code(""), 0);
    EXPECT_EQ(char_code("A", 2), 0);
    EXPECT_EQ(char_code("A", 0), 0);
    EXPECT_EQ(int_to_text(-12), "-12");
    EXPECT_EQ(int_to_text(0), "0");
    EXPECT_EQ(int_to_text(INT32_MIN), "-2147483648");
    EXPECT_EQ(to_upper("\x61\xB0\x61\x62"), "\x41\xB0\x61\x42");
    EXPECT_EQ(text_left("abc", 2), "ab");
    EXPECT_EQ(text_left("abc", 5), "abc");
    EXPECT_EQ(text_left("abc", -1), "");
    EXPECT_EQ(text_right("abc", 2), "bc");
    EXPECT_EQ(text_right("abc", 9), "abc");
    EXPECT_EQ(text_right("abc", 0), "");
    EXPECT_EQ(text_mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(text_mid("abcdef", 5, 9), "ef");
    EXPECT_EQ(text_mid("abcdef", 0, 2), "");
    EXPECT_EQ(text_mid("abcdef", 7, 1), "");
    EXPECT_EQ(text_mid("abcdef", 2, 0), "");
}

TEST(Bytes, Conversions)
{
    EXPECT_EQ(bytes_to_text({0x61, 0x62, 0x00, 0x63}), "ab");
    EXPECT_EQ(bytes_to_text({}), "");
    EXPECT_EQ(text_to_bytes("ab"), (ByteArray{0x61, 0x62}));
    EXPECT_TRUE(text_to_bytes("").empty());
    EXPECT_EQ(blank_bytes(3), (ByteArray{0, 0, 0}));
    EXPECT_TRUE(blank_bytes(-1).empty());
    EXPECT_EQ(concat_bytes(ByteArray{1}, ByteArray{}, ByteArray{2, 3}), (ByteArray{1, 2, 3}));
    EXPECT_EQ(bytes_length({0, 0}), 2);
}

// The searches step through a text with a fast byte search and a boundary
// check; a literal character-by-character scan must agree on every input.
TEST(Differential, SearchesAgreeWithALiteralScan)
{
    std::mt19937 random(12345);
    const char alphabet[] = {'a', 'A', 'b', '\r', '\n', ' ', '\xB0', '\xA1', '\x94'};
    const auto random_text = [&](std::size_t max) {
        Text t(random() % (max + 1), 'a');
        for (char& c : t)
            c = alphabet[random() % sizeof alphabet];
        return t;
    };
    for (int round = 0; round < 20000; ++round) {
        const Text text = random_text(12);
        const Text needle = random_text(3);
        if (needle.empty())
            continue;
        const bool ignore_case = round % 2 == 1;
        const int start = static_cast<int>(random() % (text.size() + 2));
        const int expected =
            start > static_cast<int>(text.size())
                ? -1
                : quenmark::test_support::literal_find(text, needle, start <= 1 ? 0 : start - 1, ignore_case);
        ASSERT_EQ(find_text(text, needle, start, ignore_case), expected)
            << testing::PrintToString(text) << " / " << testing::PrintToString(needle);

        // split_text: joining the pieces gives the text back (less a final
        // delimiter), and no piece holds the delimiter at a character start.
        const TextArray pieces = split_text(text, needle);
        Text joined;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            ASSERT_EQ(quenmark::test_support::literal_find(pieces[i], needle, 0, false), -1);
            joined += pieces[i] + (i + 1 < pieces.size() ? needle : "");
        }
        const bool ends_with_delimiter =
            text.size() > joined.size() && text.compare(joined.size(), Text::npos, needle) == 0;
        ASSERT_EQ(joined + (ends_with_delimiter ? needle : ""), text)
            << testing::PrintToString(text) << " / " << testing::PrintToString(needle);
    }
}

} // namespace
} // namespace quenmark::text
