// A batch of links through the local shortening server, which waits a
// fixed time before every answer. Strictly sequential requests cannot take
// less than links x delay; the figure is how close the batch comes to it.
//
// Usage: batch_bench [links=200] [delay_ms=20] [service=3]
#include "shorten/batch.h"
#include "support/fake_controls.h"
#include "support/local_shortener.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    using namespace quenmark;
    const int links = argc > 1 ? std::atoi(argv[1]) : 200;
    const int delay_ms = argc > 2 ? std::atoi(argv[2]) : 20;
    const int service = argc > 3 ? std::atoi(argv[3]) : 3;
    test_support::LocalShortener local(delay_ms);
    if (!local.valid() || service < 1 || service > 6) {
        std::fprintf(stderr, "the local server did not start, or no such service\n");
        return 1;
    }
    text::TextArray entries;
    for (int i = 0; i < links; ++i)
        entries.push_back("http://bench.example/page/" + std::to_string(i));

    for (const bool shared : {true, false}) {
        test_support::FakeControls controls;
        const auto start = std::chrono::steady_clock::now();
        shorten::shorten_batch(local.row(service), entries, controls, {},
                               {.share_connections = shared});
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        int failed = 0;
        for (const auto& line : controls.appends())
            failed += line.rfind("https://", 0) == 0 ? 0 : 1;
        const double floor_ms = static_cast<double>(links) * delay_ms;
        std::printf("service %d, %d links, %d ms delay, connections %s: %.0f ms, %.3f x the floor "
                    "of %.0f ms, %d failed\n",
                    service, links, delay_ms, shared ? "shared    " : "not shared", ms,
                    floor_ms > 0 ? ms / floor_ms : 0.0, floor_ms, failed);
    }
    return 0;
}
