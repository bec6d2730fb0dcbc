// An HTTPS server on the loopback interface for tests and benchmarks.
#pragma once

#include "server/tls_identity.h"

#include <httplib.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quenmark::test_support {

struct RecordedRequest {
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers; // sorted by name
    std::string body;
};

// A folder of its own under the system's temporary folder, removed with it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // Writes `content` to `name` inside the folder and gives its path.
    std::filesystem::path write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

// Serves HTTPS on 127.0.0.1 at a free port with `identity`'s certificate,
// with TCP_NODELAY and long keep-alive, and records every request. The
// routes are added by `routes` before the server starts.
class LocalHttpsServer {
public:
    LocalHttpsServer(const server::TlsIdentity& identity,
                     const std::function<void(httplib::Server&)>& routes);
    ~LocalHttpsServer();
    LocalHttpsServer(const LocalHttpsServer&) = delete;
    LocalHttpsServer& operator=(const LocalHttpsServer&) = delete;

    [[nodiscard]] bool valid() const { return port_ > 0; }
    [[nodiscard]] int port() const { return port_; }
    // "https://127.0.0.1:<port>" followed by `path`.
    [[nodiscard]] std::string url(const std::string& path) const;
    [[nodiscard]] std::vector<RecordedRequest> requests() const;

private:
    TempDir files_;
    std::unique_ptr<httplib::SSLServer> server_;
    int port_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
};

// Points SSL_CERT_FILE at a file holding `ca_pem` for as long as it lives,
// so that HTTP objects made meanwhile trust that authority only.
class TrustedAuthority {
public:
    explicit TrustedAuthority(const std::string& ca_pem);
    ~TrustedAuthority();
    TrustedAuthority(const TrustedAuthority&) = delete;
    TrustedAuthority& operator=(const TrustedAuthority&) = delete;

private:
    TempDir dir_;
    std::string previous_;
    bool had_previous_ = false;
};

} // namespace quenmark::test_support
