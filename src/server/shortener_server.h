// The local shortening server: the six services' interfaces over HTTPS on
// this machine, with real short links that redirect to their long links.
#pragma once

#include "server/link_store.h"
#include "server/services_file.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class SSLServer;
}

namespace quenmark::server {

struct ServerOptions {
    std::string listen_address = "127.0.0.1";
    std::filesystem::path data_dir; // certificates and the link database
    int delay_ms = 0;               // before every shortening answer
    // How long an idle connection is kept open for the client's next
    // request; stopping the server waits for idle connections to time out.
    int keep_alive_s = 3;
    std::function<void(const std::string&)> log; // one line per request; may be empty
};

// A long link that contains one of these words asks the server to misbehave
// on purpose (for tests and benchmarks):
//   quenmark-fault=fail     the service's failure answer
//   quenmark-fault=timeout  no answer until the client gives up
//   quenmark-fault=reset    the connection dropped in the middle of the answer
//   quenmark-fault=crlf     a short link with CR LF inside it
//   quenmark-fault=garbage  a body without the service's markers, not UTF-8
//   quenmark-fault=trickle  an answer of one byte a second, never ending
//   quenmark-fault=endless  an answer that never ends, as fast as it goes
//   quenmark-fault=headers  50,000 header lines before a good answer
//   quenmark-fault=redirect a redirect to a redirect to itself, forever
class ShortenerServer {
public:
    ShortenerServer(ServicesFile services, ServerOptions options);
    ~ShortenerServer();
    ShortenerServer(const ShortenerServer&) = delete;
    ShortenerServer& operator=(const ShortenerServer&) = delete;

    // Loads the certificates from the data folder (made on first start),
    // opens the link database and listens on every service's port. False
    // with `error` set when any of it fails; nothing then keeps running.
    [[nodiscard]] bool start(std::string& error);

    // Stops every listener, ends waiting answers, and joins. Idempotent.
    void stop();

    // The certificate authority's file, to trust as SSL_CERT_FILE.
    [[nodiscard]] std::filesystem::path ca_file() const;

private:
    void add_routes(httplib::SSLServer& server, const ServiceEndpoint& endpoint);

    ServicesFile services_;
    ServerOptions options_;
    std::unique_ptr<LinkStore> store_;
    std::vector<std::unique_ptr<httplib::SSLServer>> servers_;
    std::vector<std::thread> threads_;
    std::atomic<bool> stopping_ = false;
    std::mutex stop_mutex_;
    std::condition_variable stop_wake_; // ends the answers that wait
};

} // namespace quenmark::server
