// A plain-HTTP server on the loopback interface that hands every request's
// raw bytes to a script, which writes whatever answer it likes: exact
// captures of what reaches the wire, and misbehaving servers.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quenmark::test_support {

class RawHttpServer {
public:
    // Called once per connection with the connected socket and the request
    // read from it (headers and a Content-Length body). A script that
    // waits should return once `stopping` is set.
    using Script =
        std::function<void(int socket, const std::string& request, const std::atomic<bool>& stopping)>;

    explicit RawHttpServer(Script script);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    [[nodiscard]] bool valid() const { return port_ > 0; }
    // "http://127.0.0.1:<port>" followed by `path`.
    [[nodiscard]] std::string url(const std::string& path) const;
    [[nodiscard]] std::vector<std::string> requests() const;

    // Writes all of `data` to `socket`; false when the peer is gone.
    static bool send_all(int socket, std::string_view data);
    // A script answering every request with `response` as it stands.
    static Script answer(std::string response);

private:
    void serve();

    Script script_;
    int listener_ = -1;
    int port_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
};

} // namespace quenmark::test_support
