// The local shortening server on free loopback ports, with a data folder
// of its own, trusted for as long as it lives.
#pragma once

#include "server/shortener_server.h"
#include "shorten/command.h"
#include "support/local_https_server.h"

#include <memory>

namespace quenmark::test_support {

class LocalShortener {
public:
    explicit LocalShortener(int delay_ms = 0);
    ~LocalShortener();

    [[nodiscard]] bool valid() const { return running_; }
    // Stops the server and starts it again on the same ports and data.
    [[nodiscard]] bool restart();
    // The six rows, pointing at this server.
    [[nodiscard]] const shorten::Catalogue& catalogue() const { return catalogue_; }
    [[nodiscard]] const shorten::ServiceSpec& row(int number) const
    {
        return catalogue_[static_cast<std::size_t>(number - 1)];
    }
    [[nodiscard]] const server::ServicesFile& services() const { return services_; }

private:
    bool start();

    int delay_ms_;
    TempDir data_;
    server::ServicesFile services_;
    shorten::Catalogue catalogue_;
    std::unique_ptr<server::ShortenerServer> server_;
    std::unique_ptr<TrustedAuthority> trust_;
    bool running_ = false;
};

// A port nobody listens on right now.
[[nodiscard]] int free_port();

} // namespace quenmark::test_support
