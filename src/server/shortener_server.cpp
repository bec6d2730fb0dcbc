#include "server/shortener_server.h"

#include "server/tls_identity.h"
#include "text/encoding.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace quenmark::server {
namespace {

constexpr std::size_t max_link_bytes = 8192;
constexpr std::string_view fault_word = "quenmark-fault=";

// "转换失败" in UTF-8: service 2's answer for a link it cannot shorten.
constexpr std::string_view service2_failure = "\xE8\xBD\xAC\xE6\x8D\xA2\xE5\xA4\xB1\xE8\xB4\xA5";

bool read_file(const std::filesystem::path& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    out = content.str();
    return !out.empty();
}

bool write_file(const std::filesystem::path& path, const std::string& content, bool secret)
{
    const std::filesystem::path partial = path.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        if (secret)
            chmod(partial.c_str(), S_IRUSR | S_IWUSR);
        out << content;
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    return !error;
}

// The certificates kept in the data folder, made there on first start. The
// authority's key is not kept: nothing else is ever signed with it.
bool load_or_make_identity(const std::filesystem::path& dir, TlsIdentity& identity,
                           std::string& error)
{
    if (read_file(dir / "ca.pem", identity.ca_certificate)
        && read_file(dir / "server.pem", identity.server_certificate)
        && read_file(dir / "server.key", identity.server_key))
        return true;
    identity = make_tls_identity("Quenmark local shortener CA");
    if (identity.empty()) {
        error = "could not make the server's certificates";
        return false;
    }
    if (!write_file(dir / "server.key", identity.server_key, true)
        || !write_file(dir / "server.pem", identity.server_certificate, false)
        || !write_file(dir / "ca.pem", identity.ca_certificate, false)) {
        error = "could not write the certificates into " + dir.string();
        return false;
    }
    return true;
}

std::string lower_ascii(std::string s)
{
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The link as it will be stored, or empty when it cannot be shortened: it
// must be UTF-8 without control characters, http or https (a link without a
// scheme is taken as http), and name a host. Blanks become %20, as a
// browser would send them.
std::string usable_link(const std::string& link)
{
    if (link.empty() || link.size() > max_link_bytes || !text::is_valid_utf8(link))
        return {};
    std::string full;
    for (const char c : link) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return {};
        if (b == ' ')
            full += "%20";
        else
            full += c;
    }
    if (full.size() > max_link_bytes)
        return {};
    const std::size_t scheme_end = full.find("://");
    if (scheme_end == std::string::npos) {
        full = "http://" + full;
    } else {
        const std::string scheme = lower_ascii(full.substr(0, scheme_end));
        if (scheme != "http" && scheme != "https")
            return {};
    }
    const std::size_t host_start = full.find("://") + 3;
    const std::size_t host_end = full.find_first_of("/?#", host_start);
    if (host_end == host_start || host_start >= full.size())
        return {};
    return full;
}

// A JSON string literal whose slashes are escaped too, as the aggregators
// of services 1 and 4 write them.
std::string json_string(std::string_view s, bool escape_slashes)
{
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += escape_slashes ? "\\/" : "/";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string html_attribute(std::string_view s)
{
    std::string out;
    for (const char c : s) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The answer of `service` for a short link (success) or for a failure
// with `reason` (`short_link` empty). `raw_value` is written as it stands,
// unescaped, to make a hostile answer.
std::string answer_body(int service, const std::string& short_link, const std::string& reason,
                        const std::string& base, bool raw_value = false)
{
    const bool ok = !short_link.empty();
    const auto value = [&](std::string_view v, bool slashes) {
        return raw_value ? "\"" + std::string(v) + "\"" : json_string(v, slashes);
    };
    switch (service) {
    case 1:
        return "{\"code\":" + std::string(ok ? "1" : "0") + ",\"url\":" + value(short_link, true)
               + ",\"msg\":" + json_string(ok ? "ok" : reason, false) + "}";
    case 2:
        return "{\"code\":" + std::string(ok ? "1" : "0") + ",\"data\":["
               + value(ok ? short_link : std::string(service2_failure), false) + "]}";
    case 3:
    case 6: {
        // The code alone: the program puts the service's base before it.
        const std::string code = ok ? short_link.substr(std::min(base.size(), short_link.size())) : "";
        return "{\"code\":" + value(code, false) + ",\"msg\":" + json_string(ok ? "ok" : reason, false)
               + "}";
    }
    case 4:
        return "{\"url\":" + value(short_link, true) + ",\"status\":" + (ok ? "1" : "0") + ",\"msg\":"
               + json_string(ok ? "ok" : reason, false) + "}";
    default: {
        std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Short link</title>"
                           "</head><body>\n";
        if (ok) {
            page += "<p>Your short link:</p>\n<input type=\"text\" id=\"short_url\" value=\""
                    + (raw_value ? short_link : html_attribute(short_link))
                    + "\" onclick=\"this.select();\" readonly>\n";
        } else {
            page += "<p class=\"error\">" + html_attribute(reason) + "</p>\n";
        }
        return page + "</body></html>\n";
    }
    }
}

// What the request of `service` must carry, per its interface; empty when
// it does. Sets `link` to the link sent.
std::string check_request(const ServiceEndpoint& endpoint, const httplib::Request& request,
                          std::string& link)
{
    const auto param = [&](const char* name) { return request.get_param_value(name); };
    link = param("url");
    switch (endpoint.number) {
    case 1:
        if (param("m") != "index" || param("a") != "urlCreate")
            return "unknown action";
        return param("type") == endpoint.target_code ? "" : "unknown type";
    case 2:
        return param("type") == endpoint.target_code ? "" : "unknown type";
    case 4:
        if (param("type") != "toShort")
            return "unknown type";
        return param("kind") == endpoint.target_code ? "" : "unknown kind";
    default:
        return "";
    }
}

} // namespace

ShortenerServer::ShortenerServer(ServicesFile services, ServerOptions options)
    : services_(std::move(services)), options_(std::move(options))
{
}

ShortenerServer::~ShortenerServer()
{
    stop();
}

std::filesystem::path ShortenerServer::ca_file() const
{
    return options_.data_dir / "ca.pem";
}

bool ShortenerServer::start(std::string& error)
{
    std::error_code made;
    std::filesystem::create_directories(options_.data_dir, made);
    if (made) {
        error = "cannot make the data folder " + options_.data_dir.string() + ": " + made.message();
        return false;
    }
    TlsIdentity identity;
    if (!load_or_make_identity(options_.data_dir, identity, error))
        return false;
    store_ = std::make_unique<LinkStore>(options_.data_dir / "links.sqlite3");
    if (!store_->valid()) {
        error = "cannot open the link database in " + options_.data_dir.string();
        return false;
    }
    const auto cert = (options_.data_dir / "server.pem").string();
    const auto key = (options_.data_dir / "server.key").string();
    for (const ServiceEndpoint& endpoint : services_.services) {
        auto server = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
        if (!server->is_valid()) {
            error = "cannot load the server certificate from " + options_.data_dir.string();
            stop();
            return false;
        }
        server->set_tcp_nodelay(true);
        server->set_keep_alive_max_count(1000);
        server->set_keep_alive_timeout(options_.keep_alive_s);
        add_routes(*server, endpoint);
        if (!server->bind_to_port(options_.listen_address, endpoint.port())) {
            error = "cannot listen on " + options_.listen_address + ":"
                    + std::to_string(endpoint.port()) + " for service "
                    + std::to_string(endpoint.number);
            stop();
            return false;
        }
        servers_.push_back(std::move(server));
    }
    for (auto& server : servers_)
        threads_.emplace_back([s = server.get()] { s->listen_after_bind(); });
    return true;
}

void ShortenerServer::stop()
{
    {
        std::lock_guard lock(stop_mutex_);
        stopping_ = true;
    }
    stop_wake_.notify_all();
    for (auto& server : servers_) {
        // stop() does nothing until the accept loop runs; give it a moment.
        for (int i = 0; i < 500 && !server->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        server->stop();
    }
    for (auto& thread : threads_)
        thread.join();
    threads_.clear();
    servers_.clear();
}

void ShortenerServer::add_routes(httplib::SSLServer& server, const ServiceEndpoint& endpoint)
{
    const int number = endpoint.number;
    const std::string base = "https://" + endpoint.host + "/";
    const char* content_type = number == 5 ? "text/html; charset=utf-8" : "application/json; charset=utf-8";

    // Waits `ms` in one sleep, cut short when the server stops.
    const auto pause = [this](int ms) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        std::unique_lock lock(stop_mutex_);
        stop_wake_.wait_until(lock, until, [this] { return stopping_.load(); });
    };

    const auto shorten = [this, endpoint, base, content_type, number, pause](
                             const httplib::Request& request, httplib::Response& response) {
        if (options_.delay_ms > 0)
            pause(options_.delay_ms);
        std::string link;
        std::string reason = check_request(endpoint, request, link);
        const std::size_t fault_at = link.find(fault_word);
        const std::string fault =
            fault_at == std::string::npos
                ? ""
                : link.substr(fault_at + fault_word.size(),
                              link.find_first_of("&#", fault_at) - fault_at - fault_word.size());
        if (fault == "timeout") {
            pause(120000);
            response.status = 503;
            return;
        }
        if (fault == "trickle") {
            // One byte a second, for as long as the client listens.
            response.set_chunked_content_provider(content_type, [this, pause](std::size_t, httplib::DataSink& sink) {
                pause(1000);
                return !stopping_ && sink.write("{", 1);
            });
            return;
        }
        if (fault == "endless") {
            const std::string block(65536, ' ');
            response.set_chunked_content_provider(content_type, [this, block](std::size_t, httplib::DataSink& sink) {
                return !stopping_ && sink.write(block.data(), block.size());
            });
            return;
        }
        if (fault == "headers") {
            // Far more header lines than any client should take in.
            for (int i = 0; i < 50000; ++i)
                response.set_header("X-Filler-" + std::to_string(i), "0123456789012345678901234567890");
            response.set_content(answer_body(number, base + "headers", "", base), content_type);
            return;
        }
        if (fault == "redirect") {
            response.set_redirect("/loop", 302);
            return;
        }
        if (fault == "garbage") {
            response.set_content(std::string("\xFF\xFE<not an answer>\x80\x81", 20), "application/octet-stream");
            return;
        }
        if (fault == "reset") {
            const std::string body = answer_body(number, base + "reset", "", base);
            response.set_content_provider(
                body.size(), content_type,
                [body](std::size_t, std::size_t, httplib::DataSink& sink) {
                    sink.write(body.data(), body.size() / 2);
                    return false; // drops the connection half-way
                });
            return;
        }
        std::string stored;
        if (reason.empty() && fault == "fail")
            reason = "refused on request";
        if (reason.empty()) {
            stored = usable_link(link);
            if (stored.empty())
                reason = link.empty() ? "no link given" : "not a link that can be shortened";
        }
        std::string short_link;
        if (reason.empty()) {
            const std::string code = store_->code_for(number, stored);
            if (code.empty())
                reason = "the link database failed";
            else
                short_link = base + code;
        }
        if (fault == "crlf" && reason.empty())
            response.set_content(answer_body(number, short_link + "\r\nhttps://injected.invalid/x", "", base, true),
                                 content_type);
        else
            response.set_content(answer_body(number, short_link, reason, base), content_type);
    };

    switch (number) {
    case 1:
        server.Post("/multi.php", shorten);
        break;
    case 2:
        server.Post("/url.php", shorten);
        break;
    case 3:
    case 6:
        server.Get("/api.php", shorten);
        break;
    case 4:
        server.Post("/api.php", shorten);
        break;
    default:
        server.Post("/create.php", shorten);
        break;
    }

    server.Get("/([0-9A-Za-z]{1,16})", [this, number](const httplib::Request& request, httplib::Response& response) {
        const std::string url = store_->url_for(number, request.matches[1].str());
        if (url.empty()) {
            response.status = 404;
            response.set_content("No such short link.\n", "text/plain; charset=utf-8");
            return;
        }
        response.set_redirect(url, 302);
    });

    // Where quenmark-fault=redirect leads: a redirect to itself, forever.
    server.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/loop", 302);
    });

    server.Get("/", [number](const httplib::Request&, httplib::Response& response) {
        response.set_content("Quenmark local shortener, service " + std::to_string(number) + "\n",
                             "text/plain; charset=utf-8");
    });

    if (options_.log) {
        server.set_logger([this, number](const httplib::Request& request, const httplib::Response& response) {
            std::string target = request.target;
            if (target.size() > 160)
                target = target.substr(0, 160) + "...";
            options_.log("service " + std::to_string(number) + " " + request.remote_addr + " "
                         + request.method + " " + target + " " + std::to_string(response.status));
        });
    }
}

} // namespace quenmark::server
