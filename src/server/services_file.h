// The services file: where each of the six shortening services is reached.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quenmark::server {

struct ServiceEndpoint {
    int number = 0;
    std::string host;        // host[:port], as it follows "https://"
    std::string target_code; // services 1, 2 and 4 only
    std::string failure_tag;
    std::string caption;
    std::vector<std::string> tooltip_domains; // service 1 only

    // The host's port: the number after its last ":", 443 without one, 0
    // when that is no port number.
    [[nodiscard]] int port() const;
};

struct ServicesFile {
    std::array<ServiceEndpoint, 6> services; // services[n - 1] is service n
};

// Reads and checks a services file: exactly the six numbers 1 to 6, each
// with a host, a failure tag of letters and underscores and a caption,
// target codes for 1, 2 and 4. On failure `error` says what is wrong and
// the result is false.
[[nodiscard]] bool read_services_file(const std::string& path, ServicesFile& out,
                                      std::string& error);

// The same for a services file's `content`; `path` only names it in errors.
[[nodiscard]] bool parse_services(std::string_view content, const std::string& path,
                                  ServicesFile& out, std::string& error);

} // namespace quenmark::server
