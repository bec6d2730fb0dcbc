#include "support/local_https_server.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>

namespace quenmark::test_support {

TempDir::TempDir()
{
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("quenmark-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = std::move(candidate);
            return;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code error;
    if (!path_.empty())
        std::filesystem::remove_all(path_, error);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& content) const
{
    const auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

LocalHttpsServer::LocalHttpsServer(const server::TlsIdentity& identity,
                                   const std::function<void(httplib::Server&)>& routes)
{
    const auto cert = files_.write("server.pem", identity.server_certificate);
    const auto key = files_.write("server.key", identity.server_key);
    server_ = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
    if (!server_->is_valid())
        return;
    server_->set_tcp_nodelay(true);
    server_->set_keep_alive_max_count(100000);
    // An idle kept-alive connection holds a worker until this passes, and
    // stopping the server waits for it.
    server_->set_keep_alive_timeout(1);
    server_->set_logger([this](const httplib::Request& request, const httplib::Response&) {
        RecordedRequest record{request.method, request.target, {}, request.body};
        for (const auto& header : request.headers) {
            if (header.first != "REMOTE_ADDR" && header.first != "REMOTE_PORT"
                && header.first != "LOCAL_ADDR" && header.first != "LOCAL_PORT")
                record.headers.emplace_back(header.first, header.second);
        }
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(record));
    });
    routes(*server_);
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        return;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
}

LocalHttpsServer::~LocalHttpsServer()
{
    if (!thread_.joinable())
        return;
    // stop() is a no-op until the accept loop runs; wait for it, briefly.
    for (int i = 0; i < 500 && !server_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    server_->stop();
    thread_.join();
}

std::string LocalHttpsServer::url(const std::string& path) const
{
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RecordedRequest> LocalHttpsServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

TrustedAuthority::TrustedAuthority(const std::string& ca_pem)
{
    if (const char* previous = std::getenv("SSL_CERT_FILE")) {
        previous_ = previous;
        had_previous_ = true;
    }
    const auto file = dir_.write("ca.pem", ca_pem);
    setenv("SSL_CERT_FILE", file.c_str(), 1);
}

TrustedAuthority::~TrustedAuthority()
{
    if (had_previous_)
        setenv("SSL_CERT_FILE", previous_.c_str(), 1);
    else
        unsetenv("SSL_CERT_FILE");
}

} // namespace quenmark::test_support
