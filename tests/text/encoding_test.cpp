#include "text/encoding.h"

#include <gtest/gtest.h>

namespace quenmark::text {
namespace {

ByteArray bytes(std::string_view s)
{
    return ByteArray(s.begin(), s.end());
}

TEST(Utf8ToText, Table)
{
    struct Case {
        std::string_view utf8;
        Text expected;
    };
    const Case cases[] = {
        {"\xE4\xB8\xAD", "\xD6\xD0"},                  // 中
        {"ab\xFF" "cd", "ab"},                         // a byte that begins nothing
        {"ab\xE4\xB8", "ab"},                          // cut short by the end
        {"ab\xE4\x41\x41", "ab"},                      // a follower that is not 80..BF
        {"ab\x80", "ab"},                              // a lone continuation byte
        {"\xEF\xBB\xBF" "a", "\x84\x31\x95\x33" "a"},  // the byte-order mark is a character
        {"\xF0\x9F\x98\x80", "\x94\x39\xFC\x36"},      // U+1F600, four bytes both ways
        {"a\xED\xA0\x80" "b", "a?b"},                  // a surrogate has no local form
        {"a\xF8\x88\x80\x80\x80" "b", "a?b"},          // five bytes, above U+10FFFF
        {"a\xC0\x80" "b", "a"},                        // an encoded zero ends the text
        {std::string_view("a\0b", 3), "a"},            // so does a zero byte
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8_to_text(c.utf8), c.expected) << testing::PrintToString(Text(c.utf8));
}

TEST(Utf8ToText, LongMixedInputCrossesConversionChunks)
{
    Text utf8;
    Text local;
    for (int i = 0; i < 20000; ++i) {
        utf8 += "\xE4\xB8\xAD" "a\xF0\x9F\x98\x80";
        local += "\xD6\xD0" "a\x94\x39\xFC\x36";
    }
    EXPECT_EQ(utf8_to_text(utf8), local);
}

TEST(CodePages, EveryTwoByteCharacterRoundTripsThroughUtf8)
{
    int converted = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const Text local = {static_cast<char>(lead), static_cast<char>(trail)};
            const ByteArray utf8 = local_to_utf8(local);
            ASSERT_FALSE(utf8.empty());
            ASSERT_EQ(utf8_to_text(utf8), local) << lead << " " << trail;
            ++converted;
        }
    }
    EXPECT_EQ(converted, 126 * 190);
}

TEST(Utf8, Validity)
{
    struct Case {
        std::string_view bytes;
        bool valid;
    };
    const Case cases[] = {
        {"plain", true},       {"\xE4\xB8\xAD", true},     {"\xF0\x9F\x98\x80", true},
        {"", true},            {"\xC0\x80", false},        {"\xE0\x80\x80", false},
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\xE4\xB8", false},
        {"\x80", false},        {"\xFF", false},            {"\xD6\xD0", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_valid_utf8(c.bytes), c.valid) << testing::PrintToString(Text(c.bytes));
}

TEST(CodePages, Utf16Conversions)
{
    EXPECT_EQ(bytes_to_utf16(bytes("\xD6\xD0"), CodePage::local), (ByteArray{0x2D, 0x4E, 0, 0}));
    EXPECT_EQ(bytes_to_utf16(bytes("\xE4\xB8\xAD"), CodePage::utf8), (ByteArray{0x2D, 0x4E, 0, 0}));
    EXPECT_EQ(bytes_to_utf16(bytes(std::string_view("a\0b", 3)), CodePage::local),
              (ByteArray{'a', 0, 0, 0}));
    EXPECT_TRUE(bytes_to_utf16({}, CodePage::local).empty());

    EXPECT_EQ(utf16_to_bytes({0x2D, 0x4E, 0, 0}, CodePage::utf8), bytes("\xE4\xB8\xAD"));
    EXPECT_EQ(utf16_to_bytes({0x2D, 0x4E}, CodePage::local), bytes("\xD6\xD0"));
    EXPECT_EQ(utf16_to_bytes({'a', 0, 0, 0, 'b', 0}, CodePage::local), bytes("a"));
    EXPECT_TRUE(utf16_to_bytes({0, 0, 'a', 0}, CodePage::utf8).empty());
    EXPECT_TRUE(utf16_to_bytes({}, CodePage::utf8).empty());
    // A lone surrogate has no UTF-8 form: the replacement stands in for it.
    EXPECT_EQ(utf16_to_bytes({0x00, 0xD8, 'a', 0}, CodePage::utf8), bytes("\xEF\xBF\xBD" "a"));
    EXPECT_EQ(utf16_to_bytes({0x00, 0xD8, 'a', 0}, CodePage::local), bytes("?a"));
}

TEST(CodePages, LocalToUtf8)
{
    EXPECT_EQ(local_to_utf8("\xD6\xD0"), bytes("\xE4\xB8\xAD"));
    EXPECT_EQ(local_to_utf8("\x94\x39\xFC\x36"), bytes("\xF0\x9F\x98\x80"));
    EXPECT_EQ(local_to_utf8("abc"), bytes("abc"));
    EXPECT_TRUE(local_to_utf8("").empty());
    // Bytes that are no local character do not stop the conversion.
    EXPECT_EQ(local_to_utf8("a\xFF" "b"), bytes("a\xEF\xBF\xBD" "b"));
    EXPECT_EQ(local_to_utf8("a\xB0"), bytes("a\xEF\xBF\xBD"));
}

TEST(UrlEncode, Table)
{
    struct Case {
        Text text;
        bool keep_unreserved;
        bool as_utf8;
        Text expected;
    };
    const Case cases[] = {
        {"a/b?c=1 2:3", true, true, "a%2Fb%3Fc%3D1+2%3A3"},
        {"\xD6\xD0", true, true, "%E4%B8%AD"},
        {"\xD6\xD0", true, false, "%D6%D0"},
        {"\x94\x39\xFC\x36", true, true, "%F0%9F%98%80"},
        {"'()*-._~!", true, true, "'()*-._%7E%21"},
        {"a b", false, true, "%61+%62"},
        {"", true, true, ""},
        {"Az09", true, false, "Az09"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(url_encode(c.text, c.keep_unreserved, c.as_utf8), c.expected)
            << testing::PrintToString(c.text);
    }
    EXPECT_EQ(url_encode("a b"), "%61+%62"); // both options default to false
}

TEST(PercentEncode, EveryByteValue)
{
    const std::string_view safe =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._'()*";
    for (int b = 0; b < 256; ++b) {
        const ByteArray in = {static_cast<std::uint8_t>(b)};
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", b);
        Text expected = escaped;
        if (b == 0)
            expected = "";
        else if (b == ' ')
            expected = "+";
        EXPECT_EQ(percent_encode(in, false), expected) << b;
        if (b != 0 && safe.find(static_cast<char>(b)) != std::string_view::npos)
            expected = Text(1, static_cast<char>(b));
        EXPECT_EQ(percent_encode(in, true), expected) << b;
    }
}

TEST(Base64Encode, Table)
{
    EXPECT_EQ(base64_encode(bytes("abc")), "YWJj");
    EXPECT_EQ(base64_encode(bytes("ab")), "YWI=");
    EXPECT_EQ(base64_encode(bytes("a")), "YQ==");
    EXPECT_EQ(base64_encode({}), "");
    EXPECT_EQ(base64_encode(bytes("user:p\xD6\xD0")), "dXNlcjpw1tA=");
    EXPECT_EQ(base64_encode({0xFF, 0xFE, 0x00, 0x3E, 0x3F}), "//4APj8=");
}

} // namespace
} // namespace quenmark::text
