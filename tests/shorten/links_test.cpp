#include "shorten/links.h"

#include <gtest/gtest.h>

namespace quenmark::shorten {
namespace {

TEST(NormaliseLink, Table)
{
    struct Case {
        Text entry;
        Text expected;
    };
    const Case cases[] = {
        {"https://a.example/x", "http://a.example/x"},
        {"a.example", "http://a.example"},
        {"http://a.example/x", "http://a.example/x"},
        {"a.example/", "http://a.example"},
        {"a.example//", "http://a.example/"},
        {"", ""},
        // https:// further on is part of the link.
        {"http://a/?u=https://b", "http://a/?u=https://b"},
        {"HTTPS://A", "http://A"},
        {"Https://a/p/", "http://a/p"},
        {"HTTP://A.EXAMPLE", "HTTP://A.EXAMPLE"},
        {"ftp://a", "http://ftp://a"},
        {"\xD6\xD0.example/", "http://\xD6\xD0.example"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalise_link(c.entry), c.expected) << c.entry;
}

TEST(BatchEntries, SplitTrimAndNormalise)
{
    const Text box = " https://a.example/ \t\r\n\r\n\t \r\nb.example\r\n";
    EXPECT_EQ(batch_entries(box, true), (TextArray{"http://a.example", "", "", "http://b.example"}));
    // Services 4 and 5: trimmed, otherwise as split from the box.
    EXPECT_EQ(batch_entries(box, false), (TextArray{"https://a.example/", "", "", "b.example"}));
    EXPECT_EQ(batch_entries("\r\n", true), (TextArray{""}));
    EXPECT_EQ(batch_entries("\xA1\xA1x\xA1\xA1", false), (TextArray{"x"})); // full-width blanks
}

} // namespace
} // namespace quenmark::shorten
