#include "support/local_shortener.h"

#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quenmark::test_support {

int free_port()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

LocalShortener::LocalShortener(int delay_ms) : delay_ms_(delay_ms)
{
    for (int n = 1; n <= 6; ++n) {
        server::ServiceEndpoint& endpoint = services_.services[static_cast<std::size_t>(n - 1)];
        endpoint.number = n;
        endpoint.host = "127.0.0.1:" + std::to_string(free_port());
        endpoint.target_code = n == 1 || n == 2 || n == 4 ? "code" + std::to_string(n) : "";
        endpoint.failure_tag = "service_" + std::string(1, static_cast<char>('a' + n - 1));
        endpoint.caption = "c" + std::to_string(n);
        catalogue_[static_cast<std::size_t>(n - 1)] = shorten::make_service_row(
            n, endpoint.host, endpoint.target_code, endpoint.failure_tag);
    }
    running_ = start();
}

LocalShortener::~LocalShortener() = default;

bool LocalShortener::start()
{
    server_ = std::make_unique<server::ShortenerServer>(
        services_,
        server::ServerOptions{.data_dir = data_.path(), .delay_ms = delay_ms_, .keep_alive_s = 1});
    std::string error;
    if (!server_->start(error))
        return false;
    std::ifstream in(server_->ca_file());
    trust_.reset();
    trust_ = std::make_unique<TrustedAuthority>(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    return true;
}

bool LocalShortener::restart()
{
    server_.reset();
    running_ = start();
    return running_;
}

} // namespace quenmark::test_support
