// The batch against the local shortening server.
#include "shorten/batch.h"
#include "shorten/command.h"
#include "support/fake_controls.h"
#include "support/local_shortener.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quenmark::shorten {
namespace {

using quenmark::test_support::FakeControls;
using quenmark::test_support::LocalShortener;

const Text busy_caption = "Quenmark [\xB4\xA6\xC0\xED\xD6\xD0]"; // "Quenmark [处理中]"
const Text lead = "\xD7\xAA\xBB\xBB\xCA\xA7\xB0\xDC #\xB1\xE0\xBA\xC5"; // "转换失败 #编号"

class Batch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(local.valid()); }

    std::vector<Text> run(int service, const TextArray& entries, BatchOptions options = {})
    {
        shorten_batch(local.row(service), entries, controls, {}, options);
        return controls.appends();
    }

    LocalShortener local;
    FakeControls controls;
};

TEST_F(Batch, EveryServiceGivesAResultLinePerLink)
{
    for (int n = 1; n <= 6; ++n) {
        FakeControls fresh;
        shorten_batch(local.row(n), {"http://a.example/one", "http://a.example/two"}, fresh, {});
        const auto lines = fresh.appends();
        ASSERT_EQ(lines.size(), 2u) << "service " << n;
        const Text origin = "https://" + local.services().services[static_cast<std::size_t>(n - 1)].host + "/";
        for (const Text& line : lines) {
            // Escaped slashes come out plain; services 3 and 6 answer with
            // the code alone, which follows the base.
            EXPECT_EQ(line.rfind(origin, 0), 0u) << line;
            EXPECT_EQ(line.size(), origin.size() + 6 + 2) << line;
            EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
            EXPECT_EQ(line.find('\\'), Text::npos) << line;
        }
        EXPECT_NE(lines[0], lines[1]);
        // The window is disabled and captioned while the batch runs.
        EXPECT_EQ(fresh.disabled_history(), (std::vector<bool>{true, false}));
        EXPECT_EQ(fresh.captions(), (std::vector<Text>{busy_caption, "Quenmark"}));
    }
}

TEST_F(Batch, FailureLinesCarryTheEntrysNumberAndTheServicesLead)
{
    const TextArray entries = {"", "http://a.example/?quenmark-fault=fail", "", "ftp://x",
                               "http://a.example/ok"};
    struct Case {
        int service;
        Text lead;
    };
    for (const Case& c : {Case{1, lead}, Case{2, lead}, Case{3, lead}, Case{4, lead + " "},
                          Case{5, lead + " "}, Case{6, lead + " "}}) {
        FakeControls fresh;
        const ServiceSpec& row = local.row(c.service);
        shorten_batch(row, entries, fresh, {});
        const auto lines = fresh.appends();
        ASSERT_EQ(lines.size(), 3u) << "service " << c.service; // empty entries give no line
        EXPECT_EQ(lines[0], c.lead + "2 [http://a.example/?quenmark-fault=fail] " + row.failure_tag + " \r\n");
        EXPECT_EQ(lines[1], c.lead + "4 [ftp://x] " + row.failure_tag + " \r\n");
        EXPECT_EQ(lines[2].rfind("https://", 0), 0u) << lines[2];
    }
}

TEST_F(Batch, AnswersThatCannotBeShortLinksAreFailures)
{
    // A short link with CR LF inside, an answer without markers, a dropped
    // connection.
    const TextArray entries = {"http://a.example/?quenmark-fault=crlf",
                               "http://a.example/?quenmark-fault=garbage",
                               "http://a.example/?quenmark-fault=reset"};
    for (const int n : {1, 2, 3, 5}) {
        FakeControls fresh;
        shorten_batch(local.row(n), entries, fresh, {});
        const auto lines = fresh.appends();
        ASSERT_EQ(lines.size(), entries.size()) << "service " << n;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].rfind(local.row(n).failure_lead + std::to_string(i + 1) + " [", 0), 0u)
                << "service " << n << ": " << lines[i];
        }
    }
}

TEST_F(Batch, AnAnswerThatNeverComesIsAFailureAfterTheTimeOut)
{
    const auto started = std::chrono::steady_clock::now();
    const auto lines = run(2, {"http://a.example/?quenmark-fault=timeout", "http://a.example/ok"},
                           {.timeout_s = 1});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], lead + "1 [http://a.example/?quenmark-fault=timeout] service_b \r\n");
    EXPECT_EQ(lines[1].rfind("https://", 0), 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST_F(Batch, PausesAfterEveryProcessedEntryWhileTheBoxIsChecked)
{
    controls.check("选择框1", true);
    const auto started = std::chrono::steady_clock::now();
    const auto lines = run(3, {"http://a.example/1", "", "http://a.example/2"}, {.pause = std::chrono::milliseconds(300)});
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(600));
}

TEST_F(Batch, AStopAbortsTheRequestInProgressAndEndsTheBatch)
{
    std::stop_source stop;
    std::thread worker([&] {
        shorten_batch(local.row(3), {"http://a.example/?quenmark-fault=timeout", "http://a.example/next"},
                      controls, stop.get_token());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto asked = std::chrono::steady_clock::now();
    stop.request_stop();
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(1));
    EXPECT_TRUE(controls.appends().empty());
}

TEST_F(Batch, NoEntriesStillMarksAndRestoresTheWindow)
{
    EXPECT_TRUE(run(1, {}).empty());
    EXPECT_EQ(controls.disabled_history(), (std::vector<bool>{true, false}));
    EXPECT_EQ(controls.captions(), (std::vector<Text>{busy_caption, "Quenmark"}));
}

TEST(ShortenCommand, ReadsTheBoxChoosesTheServiceAndStartsOneBatch)
{
    LocalShortener local;
    ASSERT_TRUE(local.valid());
    FakeControls controls;
    TextArray long_links = {"old"};
    std::vector<std::function<void(std::stop_token)>> started;
    const WorkerStarter start = [&](std::function<void(std::stop_token)> body) {
        EXPECT_TRUE(controls.is_disabled()); // disabled before the thread starts
        started.push_back(std::move(body));
    };

    // An empty box: nothing at all.
    shorten_command(controls, long_links, start, local.catalogue());
    EXPECT_EQ(long_links, TextArray{"old"});
    EXPECT_TRUE(started.empty());

    // No service chosen: the links are replaced, no batch starts.
    controls.set_text("编辑框1", " https://a.example/ \r\n\r\nb.example/\r\n");
    shorten_command(controls, long_links, start, local.catalogue());
    EXPECT_EQ(long_links, (TextArray{"http://a.example", "", "http://b.example"}));
    EXPECT_TRUE(started.empty());

    // Service 4 takes the links as split, trimmed only.
    controls.check("单选框4", true);
    shorten_command(controls, long_links, start, local.catalogue());
    EXPECT_EQ(long_links, (TextArray{"https://a.example/", "", "b.example/"}));
    ASSERT_EQ(started.size(), 1u);
    started.front()(std::stop_token{});
    const auto lines = controls.appends();
    ASSERT_EQ(lines.size(), 2u);
    const Text origin4 = "https://" + local.services().services[3].host + "/";
    EXPECT_EQ(lines[0].rfind(origin4, 0), 0u) << lines[0];
    EXPECT_FALSE(controls.is_disabled());
}

} // namespace
} // namespace quenmark::shorten
