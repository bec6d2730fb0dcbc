#include "support/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace quenmark::test_support {
namespace {

// Reads one request: up to the blank line, then Content-Length bytes.
std::string read_request(int socket, const std::atomic<bool>& stopping)
{
    std::string data;
    std::size_t wanted = std::string::npos;
    char buffer[65536];
    while (!stopping && (wanted == std::string::npos || data.size() < wanted)) {
        pollfd entry{socket, POLLIN, 0};
        if (poll(&entry, 1, 50) <= 0)
            continue;
        const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(got));
        const std::size_t end = data.find("\r\n\r\n");
        if (wanted == std::string::npos && end != std::string::npos) {
            std::size_t length = 0;
            const std::size_t at = data.find("\r\nContent-Length: ");
            if (at != std::string::npos && at < end)
                length = std::strtoul(data.c_str() + at + 18, nullptr, 10);
            wanted = end + 4 + length;
        }
    }
    return data;
}

} // namespace

RawHttpServer::RawHttpServer(Script script) : script_(std::move(script))
{
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0
        || listen(listener_, 16) != 0
        || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0
        || pipe(wake_) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer()
{
    stopping_ = true;
    if (wake_[1] >= 0)
        (void)write(wake_[1], "x", 1);
    if (thread_.joinable())
        thread_.join();
    for (int fd : {listener_, wake_[0], wake_[1]}) {
        if (fd >= 0)
            close(fd);
    }
}

std::string RawHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RawHttpServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

bool RawHttpServer::send_all(int socket, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t sent = ::send(socket, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

RawHttpServer::Script RawHttpServer::answer(std::string response)
{
    return [response = std::move(response)](int socket, const std::string&, const std::atomic<bool>&) {
        send_all(socket, response);
    };
}

void RawHttpServer::serve()
{
    while (!stopping_) {
        pollfd entries[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(entries, 2, -1) <= 0 || (entries[1].revents & POLLIN) != 0)
            continue;
        const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        const std::string request = read_request(connection, stopping_);
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        script_(connection, request, stopping_);
        close(connection);
    }
}

} // namespace quenmark::test_support
