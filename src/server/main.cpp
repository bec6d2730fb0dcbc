// quenmark-server: the local shortening server.
#include "config/services_file.h"
#include "server/shortener_server.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <pthread.h>
#include <string>

namespace {

const char* const usage =
    "Usage: quenmark-server [options]\n"
    "Serves the six shortening services' interfaces over HTTPS on this machine.\n"
    "\n"
    "  --services FILE   the services file (default: the one this build was\n"
    "                    configured with, built in)\n"
    "  --data DIR        certificates and the link database\n"
    "                    (default: $XDG_DATA_HOME/quenmark-server)\n"
    "  --listen ADDRESS  address to listen on (default: 127.0.0.1)\n"
    "  --delay-ms N      wait N milliseconds before every shortening answer\n"
    "  --help            this text\n"
    "\n"
    "A long link containing quenmark-fault=KIND makes the server misbehave:\n"
    "  fail      the service's failure answer      timeout   no answer at all\n"
    "  reset     the connection dropped mid-answer crlf      a line break in the short link\n"
    "  garbage   an answer without its markers     trickle   one byte a second, forever\n"
    "  endless   a body that never ends            headers   50,000 header lines\n"
    "  redirect  a redirect loop\n";

std::filesystem::path default_data_dir()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
        return std::filesystem::path(xdg) / "quenmark-server";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local/share/quenmark-server";
}

bool parse_int(const char* s, int& out)
{
    char* end = nullptr;
    const long value = std::strtol(s, &end, 10);
    if (end == s || *end != '\0' || value < 0 || value > 3600000)
        return false;
    out = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string services_path; // empty: the built-in one
    quenmark::server::ServerOptions options;
    options.data_dir = default_data_dir();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg == "--services" && has_value) {
            services_path = argv[++i];
        } else if (arg == "--data" && has_value) {
            options.data_dir = argv[++i];
        } else if (arg == "--listen" && has_value) {
            options.listen_address = argv[++i];
        } else if (arg == "--delay-ms" && has_value) {
            if (!parse_int(argv[++i], options.delay_ms)) {
                std::fprintf(stderr, "quenmark-server: --delay-ms needs a number of milliseconds\n");
                return 2;
            }
        } else {
            std::fprintf(stderr, "quenmark-server: unknown or incomplete option %s\n\n%s", arg.c_str(), usage);
            return 2;
        }
    }

    quenmark::server::ServicesFile services;
    std::string error;
    const bool read = services_path.empty()
                          ? quenmark::server::parse_services(quenmark::config::services_file,
                                                             std::string(quenmark::config::services_file_path),
                                                             services, error)
                          : quenmark::server::read_services_file(services_path, services, error);
    if (!read) {
        std::fprintf(stderr, "quenmark-server: %s\n", error.c_str());
        return 1;
    }

    std::mutex log_mutex;
    options.log = [&log_mutex](const std::string& line) {
        std::lock_guard lock(log_mutex);
        std::cout << line << std::endl;
    };

    // Only the main thread takes the stop signals: block them before any
    // server thread starts, then wait for one.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    quenmark::server::ShortenerServer server(services, options);
    if (!server.start(error)) {
        std::fprintf(stderr, "quenmark-server: %s\n", error.c_str());
        return 1;
    }
    {
        std::lock_guard lock(log_mutex);
        for (const auto& endpoint : services.services)
            std::cout << "service " << endpoint.number << " (" << endpoint.caption << ") on https://"
                      << endpoint.host << "/\n";
        std::cout << "certificate authority: " << server.ca_file().string()
                  << " (use it as SSL_CERT_FILE)\nready" << std::endl;
    }

    int received = 0;
    sigwait(&stop_signals, &received);
    options.log(std::string("stopping on ") + (received == SIGINT ? "SIGINT" : "SIGTERM"));
    server.stop();
    return 0;
}
