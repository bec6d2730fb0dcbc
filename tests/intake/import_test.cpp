// The import worker with a stand-in for the window.
#include "intake/import.h"
#include "intake/link_file.h"
#include "support/fake_controls.h"
#include "support/local_https_server.h"

#include <gtest/gtest.h>

namespace quenmark::intake {
namespace {

using quenmark::test_support::FakeControls;
using quenmark::test_support::TempDir;
using text::Text;

// "有 n 处是重复的，已帮您过滤" in the local code page.
Text status_for(int n)
{
    return "\xD3\xD0 " + std::to_string(n)
           + " \xB4\xA6\xCA\xC7\xD6\xD8\xB8\xB4\xB5\xC4\xA3\xAC\xD2\xD1\xB0\xEF\xC4\xFA\xB9\xFD\xC2\xCB";
}

class Import : public ::testing::Test {
protected:
    void SetUp() override
    {
        controls.set_width("按钮1", 259);
    }

    // Imports a file holding `content`; small appends, to cross their edges.
    void import(const std::string& content, bool filter)
    {
        controls.check("选择框2", filter);
        const auto file = dir.write("f" + std::to_string(++files), content);
        import_file(file.string(), controls, turns, turns.take_ticket(), {}, {.append_bytes = 4});
    }

    Text box() { return controls.text_of("编辑框1"); }

    TempDir dir;
    FakeControls controls;
    ImportTurns turns;
    int files = 0;
};

TEST_F(Import, FilterOffOrOn)
{
    struct Case {
        const char* what;
        Text box;
        std::string file;
        bool filter;
        Text expected;
        int skipped; // -1: filter off, the status label is not touched
    };
    const Case cases[] = {
        {"two lines, filter off", "", "a\r\nb\r\n", false, "a\r\nb\r\n", -1},
        {"two lines, filter on", "", "a\r\nb\r\n", true, "a\r\nb\r\n", 0},
        {"a blank line, filter off", "", "a\r\n\r\nb", false, "a\r\n\r\nb\r\n", -1},
        {"a blank line, filter on", "", "a\r\n\r\nb", true, "a\r\nb\r\n", 1},
        {"a blank first line", "", "\r\na", true, "\r\na\r\n", 0},
        {"inside a longer line, and case", "link/abc\r\n", "link/ab\r\nLINK/ABC", true,
         "link/abc\r\nLINK/ABC\r\n", 1},
        {"the same link twice", "", "x\r\nx\r\n", true, "x\r\n", 1},
        {"an unfinished last line continues", "ab", "c\r\n", false, "abc\r\n", -1},
        {"lines ending in LF alone", "", "a\nb\n", false, "a\r\nb\r\n", -1},
        {"a byte-order mark", "", "\xEF\xBB\xBFhttp://a\r\n", false, "http://a\r\n", -1},
        {"a GBK file", "", "\xD6\xD0.example\r\n", false, "\xD6\xD0.example\r\n", -1},
    };
    for (const auto& c : cases) {
        controls.set_text("编辑框1", c.box);
        controls.set_visible("透明标签1", false);
        controls.set_width("按钮1", 259);
        import(c.file, c.filter);
        EXPECT_EQ(box(), c.expected) << c.what;
        if (c.skipped > 0) {
            EXPECT_TRUE(controls.visible("透明标签1")) << c.what;
            EXPECT_EQ(controls.text_of("透明标签1"), status_for(c.skipped)) << c.what;
            EXPECT_EQ(controls.width("按钮1"), 60) << c.what;
        } else {
            EXPECT_FALSE(controls.visible("透明标签1")) << c.what;
            EXPECT_EQ(controls.width("按钮1"), 259) << c.what;
        }
    }
}

TEST_F(Import, TheStatusLastsUntilTheNextFilteredImport)
{
    import("a\r\na\r\n", true);
    EXPECT_EQ(controls.width("按钮1"), 60);
    import("b\r\n", false); // filter off leaves the status alone
    EXPECT_EQ(controls.width("按钮1"), 60);
    EXPECT_EQ(controls.text_of("透明标签1"), status_for(1));
    import("c\r\n", true); // no duplicate: wide again, label hidden
    EXPECT_EQ(controls.width("按钮1"), 259);
    EXPECT_FALSE(controls.visible("透明标签1"));
    EXPECT_EQ(box(), "a\r\nb\r\nc\r\n");
}

TEST_F(Import, WhatIsNotARegularFileImportsNothing)
{
    for (const std::string& path : {dir.path().string(), std::string("/dev/zero"),
                                    (dir.path() / "missing").string(),
                                    dir.write("a", "x").string() + "\r\n" + dir.write("b", "y").string() + "\r\n"}) {
        controls.check("选择框2", false);
        import_file(path, controls, turns, turns.take_ticket(), {});
        EXPECT_EQ(box(), "") << path;
    }
}

TEST_F(Import, AFileOverTheLimitIsRefusedWithAStatus)
{
    const auto big = dir.write("big", "");
    std::filesystem::resize_file(big, max_link_file_bytes + 1);
    import_file(big.string(), controls, turns, turns.take_ticket(), {});
    EXPECT_EQ(box(), "");
    EXPECT_TRUE(controls.visible("透明标签1"));
    EXPECT_EQ(controls.text_of("透明标签1"), "\xCE\xC4\xBC\xFE\xB3\xAC\xB9\xFD 64 MB\xA3\xAC\xCE\xB4\xB5\xBC\xC8\xEB");
    EXPECT_EQ(controls.width("按钮1"), 60);
}

TEST_F(Import, HostileFiles)
{
    // A line of 10 MB, filter on: one line, whole.
    import(std::string(10 << 20, 'x') + "\r\n", true);
    EXPECT_EQ(box().size(), (10u << 20) + 2);
    controls.set_text("编辑框1", "");

    // Binary content: everything up to its first zero byte, lines intact.
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) % 255 + 1);
    binary += std::string(1, '\0') + "after the zero";
    import(binary, true);
    EXPECT_EQ(box().find("after the zero"), Text::npos);
    EXPECT_EQ(box().find('\0'), Text::npos);
    controls.set_text("编辑框1", "");

    // UTF-16 with its byte-order mark, lines ending in CR LF.
    import(std::string("\xFF\xFEh\0t\0\r\0\n\0\x2D\x4E\r\0\n\0", 16), false);
    EXPECT_EQ(box(), "ht\r\n\xD6\xD0\r\n");
}

TEST_F(Import, ImportsTakeTurnsInTheOrderAsked)
{
    const auto first = dir.write("first", "1\r\n1\r\n");
    const auto second = dir.write("second", "2\r\n");
    const std::uint64_t first_ticket = turns.take_ticket();
    const std::uint64_t second_ticket = turns.take_ticket();
    std::jthread later([&](std::stop_token stop) {
        import_file(second.string(), controls, turns, second_ticket, stop);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(box(), ""); // still waiting for the first
    import_file(first.string(), controls, turns, first_ticket, {});
    later.join();
    EXPECT_EQ(box(), "1\r\n1\r\n2\r\n");

    // A waiting import gives up when stopped.
    const std::uint64_t never = turns.take_ticket() + 1;
    std::jthread stuck([&](std::stop_token stop) { import_file(second.string(), controls, turns, never, stop); });
    stuck.request_stop();
    stuck.join();
    EXPECT_EQ(box(), "1\r\n1\r\n2\r\n");
}

} // namespace
} // namespace quenmark::intake
