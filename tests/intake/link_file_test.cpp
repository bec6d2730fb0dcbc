#include "intake/link_file.h"
#include "support/local_https_server.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quenmark::intake {
namespace {

using quenmark::test_support::TempDir;

TEST(DecodeLinkFile, Table)
{
    struct Case {
        const char* what;
        std::string bytes;
        Text expected;
    };
    const Case cases[] = {
        {"UTF-8", "a\r\n\xE4\xB8\xAD", "a\r\n\xD6\xD0"},
        {"a UTF-8 byte-order mark is dropped", "\xEF\xBB\xBFhttp://a", "http://a"},
        {"not UTF-8: the local code page", "\xD6\xD0\xCE\xC4 x", "\xD6\xD0\xCE\xC4 x"},
        {"invalid UTF-8 after valid lines keeps everything", "a\r\n\xE4\xB8\xAD\r\n\xFF", "a\r\n\xE4\xB8\xAD\r\n\xFF"},
        {"UTF-16 little-endian", std::string("\xFF\xFE" "a\0-\0\x2D\x4E", 8), "a-\xD6\xD0"},
        {"UTF-16 big-endian", std::string("\xFE\xFF\0a\x4E\x2D", 6), "a\xD6\xD0"},
        {"UTF-16 ends at U+0000", std::string("\xFF\xFE" "a\0\0\0b\0", 8), "a"},
        {"a zero byte ends the content", std::string("ab\0cd", 5), "ab"},
        {"Ctrl-Z ends the content", "ab\x1A" "cd", "ab"},
        {"Ctrl-Z as a second byte does not", "\xB0\x1A" "c", "\xB0\x1A" "c"},
        {"zero after a first byte ends before it", std::string("a\xB0\0", 3), "a"},
        {"empty", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode_link_file(c.bytes), c.expected) << c.what;
}

TEST(SplitLinkLines, Table)
{
    struct Case {
        Text text;
        TextArray expected;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\nb", {"a", "", "b"}},
        {"a\r\r\nb", {"a\r", "b"}},
        {"", {}},
        {"\n", {""}},
        {"a\rb", {"a\rb"}},
        // A stray first byte before the line end does not hide it.
        {"a\xB0\r\nb\xB0\nc", {"a\xB0", "b\xB0", "c"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split_link_lines(c.text), c.expected) << ::testing::PrintToString(c.text);
}

TEST(ReadLinkFile, OnlyRegularFilesWithinTheLimit)
{
    TempDir dir;
    const auto regular = dir.write("links.txt", "http://a\r\n");
    EXPECT_EQ(read_link_file(regular).status, FileStatus::ok);
    EXPECT_EQ(read_link_file(regular).bytes, "http://a\r\n");

    EXPECT_EQ(read_link_file((dir.path() / "missing").string()).status, FileStatus::unreadable);
    EXPECT_EQ(read_link_file(dir.path().string()).status, FileStatus::not_regular);
    EXPECT_EQ(read_link_file("/dev/zero").status, FileStatus::not_regular);

    // A FIFO with no writer would block an ordinary open for good.
    const auto fifo = dir.path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(read_link_file(fifo).status, FileStatus::not_regular);

    // A sparse file one byte over the limit.
    const auto big = dir.path() / "big";
    const int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, max_link_file_bytes + 1), 0);
    close(fd);
    const LinkFile too_large = read_link_file(big);
    EXPECT_EQ(too_large.status, FileStatus::too_large);
    EXPECT_TRUE(too_large.bytes.empty());
}

} // namespace
} // namespace quenmark::intake
