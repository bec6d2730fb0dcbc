// HTTP access figures on this machine:
//  1. N sequential HTTPS requests to a loopback server with a fixed answer
//     delay, each through a new request object, with connections shared
//     between objects and without.
//  2. How long a waiting request takes to return after an abort.
//
// Usage: http_bench [requests=200] [delay_ms=2]
#include "http/abort_signal.h"
#include "http/web_request.h"
#include "support/local_https_server.h"
#include "support/raw_http_server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using namespace quenmark;
using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void sequential_requests(const test_support::LocalHttpsServer& server, int count, bool shared)
{
    int failures = 0;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const auto object = http::create_http_object({.share_connections = shared});
        int status = 0;
        (void)http::web_request({.url = server.url("/echo"), .status = &status, .http_object = object.get()});
        failures += status == 200 ? 0 : 1;
    }
    const double total = ms_since(start);
    std::printf("%-28s %5d requests  %9.1f ms  %7.2f ms/request  %d failed\n",
                shared ? "connections shared" : "connections not shared", count, total,
                total / count, failures);
}

void abort_latency(int trials)
{
    test_support::RawHttpServer silent([](int, const std::string&, const std::atomic<bool>& stopping) {
        while (!stopping)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    std::vector<double> latencies;
    for (int i = 0; i < trials; ++i) {
        http::AbortSignal signal;
        const auto object = http::create_http_object({.abort = &signal});
        Clock::time_point aborted_at;
        std::thread aborter([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            aborted_at = Clock::now();
            signal.abort();
        });
        (void)http::web_request({.url = silent.url("/"), .http_object = object.get()});
        const auto returned_at = Clock::now();
        aborter.join();
        latencies.push_back(std::chrono::duration<double, std::milli>(returned_at - aborted_at).count());
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("abort to return             %5d trials    median %.3f ms  max %.3f ms\n", trials,
                latencies[latencies.size() / 2], latencies.back());
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    const int delay_ms = argc > 2 ? std::atoi(argv[2]) : 2;
    const auto identity = server::make_tls_identity("Quenmark bench CA");
    test_support::LocalHttpsServer server(identity, [delay_ms](httplib::Server& s) {
        s.Get("/echo", [delay_ms](const httplib::Request&, httplib::Response& response) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
            response.set_content("ok", "text/plain");
        });
    });
    if (!server.valid()) {
        std::fprintf(stderr, "the local server did not start\n");
        return 1;
    }
    test_support::TrustedAuthority trust(identity.ca_certificate);
    std::printf("server answer delay %d ms\n", delay_ms);
    sequential_requests(server, count, false);
    sequential_requests(server, count, true);
    abort_latency(20);
    return 0;
}
