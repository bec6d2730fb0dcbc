// Hostile answers through a real batch: each link gives one failure line
// within its time-out, and the batch goes on to the next link.
#include "shorten/batch.h"
#include "support/fake_controls.h"
#include "support/local_shortener.h"

#include <gtest/gtest.h>

#include <chrono>

namespace quenmark::shorten {
namespace {

using quenmark::test_support::FakeControls;
using quenmark::test_support::LocalShortener;
using Clock = std::chrono::steady_clock;

TEST(HostileAnswers, EachGivesAFailureLineWithinItsTimeOut)
{
    LocalShortener local;
    ASSERT_TRUE(local.valid());
    const char* faults[] = {"timeout", "trickle", "endless", "reset", "garbage", "crlf", "headers", "redirect"};
    for (const char* fault : faults) {
        for (const int n : {1, 3}) {
            FakeControls controls;
            const Text link = std::string("http://a.example/?quenmark-fault=") + fault;
            const auto started = Clock::now();
            shorten_batch(local.row(n), {link, "http://a.example/fine"}, controls, {}, {.timeout_s = 1});
            const auto took = Clock::now() - started;
            const auto lines = controls.appends();
            ASSERT_EQ(lines.size(), 2u) << fault;
            EXPECT_EQ(lines[0], failure_line(local.row(n), 1, link)) << fault << " through service " << n;
            EXPECT_EQ(lines[1].rfind("https://", 0), 0u) << fault << ": the next link still works";
            // Four one-second time-outs at most, and a little to spare.
            EXPECT_LT(took, std::chrono::seconds(6)) << fault;
        }
    }
}

TEST(HostileAnswers, AnUntrustedCertificateIsAFailure)
{
    LocalShortener local;
    ASSERT_TRUE(local.valid());
    const server::TlsIdentity stranger = server::make_tls_identity("Someone else");
    quenmark::test_support::TrustedAuthority trust(stranger.ca_certificate);
    FakeControls controls;
    shorten_batch(local.row(3), {"http://a.example/"}, controls, {});
    EXPECT_EQ(controls.appends(), (std::vector<Text>{failure_line(local.row(3), 1, "http://a.example/")}));
}

} // namespace
} // namespace quenmark::shorten
