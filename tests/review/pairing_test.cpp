#include "review/pairing.h"

#include <gtest/gtest.h>

namespace quenmark::review {
namespace {

using Outcome = PairingCheck::Outcome;

TEST(CheckPairing, Table)
{
    struct Case {
        const char* what;
        Text long_box;
        Text short_box;
        Outcome outcome;
        TextArray items;
    };
    const Case cases[] = {
        {"an empty short box shows nothing", "a\r\nb\r\n", "", Outcome::nothing, {}},
        {"three and two lines", "a\r\nb\r\nc\r\n", "s1\r\ns2\r\n", Outcome::mismatch, {}},
        {"three and three, with a final line end", "a\r\nb\r\nc\r\n", "s1\r\ns2\r\ns3", Outcome::open,
         {"s1 -> a", "s2 -> b", "s3 -> c"}},
        // An empty or blank line among the long links does not shift the
        // pairs; lines are shown as they stand in the box.
        {"a blank line among the long links", "a\r\n \t\r\n b\r\n", "s1\r\ns2\r\n", Outcome::open,
         {"s1 -> a", "s2 ->  b"}},
        {"blank short lines do not count either", "a\r\n", "\r\ns1\r\n\r\n", Outcome::open, {"s1 -> a"}},
        {"only blanks in the short box", "", " \r\n", Outcome::open, {}},
    };
    for (const auto& c : cases) {
        const PairingCheck check = check_pairing(c.long_box, c.short_box);
        EXPECT_EQ(check.outcome, c.outcome) << c.what;
        EXPECT_EQ(check.items, c.items) << c.what;
    }
}

TEST(ShortPart, Table)
{
    // "转换失败 #编号" in the local code page, and without its blank.
    const Text lead = "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC #\xB1\xE0\xBA\xC5";
    const Text lead_without_blank = "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC#\xB1\xE0\xBA\xC5";
    EXPECT_EQ(short_part("https://s.example/a-b -> http://x/y-z"), "https://s.example/a-b");
    EXPECT_EQ(short_part(lead + "7 [http://a-b] tag  -> http://a-b"), lead_without_blank + "7[http://a-b]tag");
    EXPECT_EQ(short_part("no arrow here"), "noarrowhere");
    EXPECT_EQ(short_part(""), "");
}

} // namespace
} // namespace quenmark::review
