#include "http/headers.h"

#include <gtest/gtest.h>

namespace quenmark::http {
namespace {

TEST(NormaliseHeaders, Table)
{
    struct Case {
        Text in;
        Text expected;
    };
    const Case cases[] = {
        {"content-type: text/html\r\naccept:*/*", "Content-Type: text/html\r\nAccept:*/*"},
        {"\r\naccept: */*", "Accept: */*"},
        {"no colon here\r\nx-a: 1", "X-A: 1"},
        {" accept: x", " accept: x"},
        {"a--b: 1", "A--B: 1"},
        {"a-: 1", "A-: 1"},
        {"-a: 1", "-A: 1"},
        {"USER-AGENT: x", "USER-AGENT: x"},
        {"x-forwarded-for: a:b", "X-Forwarded-For: a:b"},
        {": empty name", ": empty name"},
        {"a: 1\r\n", "A: 1"},
        {"", ""},
        {"\r\n\r\n", ""},
        // A "-" that is the second byte of a character starts no new word,
        // nor ends the name as a hyphen of its own.
        {"\xB0-a: 1", "\xB0-a: 1"},
        {"a\x83-: 1", "A\x83-: 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalise_headers(c.in), c.expected) << testing::PrintToString(c.in);
}

TEST(HeaderLine, NameAndValue)
{
    EXPECT_EQ(header_name(" Referer : http://a/b "), "Referer");
    EXPECT_EQ(header_value(" Referer : http://a/b "), "http://a/b");
    EXPECT_EQ(header_name("no colon"), "");
    EXPECT_EQ(header_value("no colon"), "");
    EXPECT_EQ(header_value("Empty:"), "");
    EXPECT_EQ(capitalise_first("abc"), "Abc");
    EXPECT_EQ(capitalise_first("1bc"), "1bc");
    EXPECT_EQ(capitalise_first(""), "");
}

TEST(MergeCookieLists, Table)
{
    struct Case {
        Text sent;
        Text received;
        Text merged;
    };
    const Case cases[] = {
        {"sid=1; lang=en", "sid=2; tmp=deleted", "sid=2; lang=en"},
        {" a=1; a=2; b=deleted; c=3 ", "", "a=1; c=3"},
        {"", "a=1; a=1; b=2", "a=1; b=2"},
        {"a=1;", "b=2", "b=2; a=1"},
        {"flag; a=1", "flag", "flag; a=1"},
        {"a=1; b=2", "a=deleted", "b=2"},
        {"a=1", "a=1; a=2", "a=1; a=2"}, // same name, different values: both kept
        {"", "", ""},
    };
    for (const auto& c : cases) {
        Text sent = c.sent;
        Text received = c.received;
        EXPECT_EQ(merge_cookie_lists(sent, received), c.merged) << c.sent << " + " << c.received;
        EXPECT_EQ(sent, c.merged);
    }
    Text sent = "a=1;";
    Text received = " b=2; ";
    (void)merge_cookie_lists(sent, received);
    EXPECT_EQ(received, "b=2; "); // trimmed in place, a final ";" given its blank
}

TEST(CookieItems, Helpers)
{
    EXPECT_EQ(cookie_name(" sid = 1"), "sid");
    EXPECT_EQ(cookie_name(" flag "), "flag");
    EXPECT_TRUE(has_cookie_named({"a=1", " b =2"}, "b"));
    EXPECT_FALSE(has_cookie_named({"a=1"}, "A"));
    EXPECT_EQ(find_item({"a", "b", "b"}, "b"), 2);
    EXPECT_EQ(find_item({"a"}, "A"), -1);
    EXPECT_EQ(remove_duplicate_items("a,b,a,c,b", ","), "a,b,c");
    EXPECT_EQ(remove_duplicate_items("", ","), "");
    EXPECT_EQ(remove_duplicate_items("a,,a,", ","), "a,");
}

} // namespace
} // namespace quenmark::http
