// The HTTP object on libcurl: each object has its own easy handle and runs
// its transfer on a private multi handle, so that another thread can wake
// it at once to abort; connections, TLS sessions and DNS answers are shared
// process-wide through a share handle.
#include "http/abort_signal.h"
#include "http/http_object.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace quenmark::http {
namespace {

constexpr std::size_t max_body_bytes = 16u << 20;
constexpr std::size_t max_header_bytes = 1u << 20;
constexpr long max_redirects = 10;

// libcurl's process-wide state: initialised once, before the first handle.
class CurlRuntime {
public:
    static CurlRuntime& get()
    {
        static CurlRuntime runtime;
        return runtime;
    }

    CURLSH* share() const { return share_; }

    CurlRuntime(const CurlRuntime&) = delete;
    CurlRuntime& operator=(const CurlRuntime&) = delete;

private:
    CurlRuntime()
    {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        share_ = curl_share_init();
        if (share_ == nullptr)
            return;
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CurlRuntime::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CurlRuntime::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }

    ~CurlRuntime()
    {
        if (share_ != nullptr)
            curl_share_cleanup(share_);
    }

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self)
    {
        static_cast<CurlRuntime*>(self)->mutexes_[index(data)].lock();
    }

    static void unlock(CURL*, curl_lock_data data, void* self)
    {
        static_cast<CurlRuntime*>(self)->mutexes_[index(data)].unlock();
    }

    static std::size_t index(curl_lock_data data)
    {
        return std::min(static_cast<std::size_t>(data), std::size_t{CURL_LOCK_DATA_LAST});
    }

    CURLSH* share_ = nullptr;
    std::array<std::mutex, CURL_LOCK_DATA_LAST + 1> mutexes_;
};

// A header name or value that would break the request's framing.
bool unsafe_in_header(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool same_name(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

void append(Slist& list, const std::string& line)
{
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown != nullptr) {
        (void)list.release();
        list.reset(grown);
    }
}

class MultiWaiter final : public AbortSignal::Waiter {
public:
    explicit MultiWaiter(CURLM* multi) : multi_(multi) {}
    void wake() override { curl_multi_wakeup(multi_); }

private:
    CURLM* multi_;
};

class CurlHttpObject final : public HttpObject {
public:
    CurlHttpObject(CURL* easy, const HttpObjectOptions& options)
        : easy_(easy), options_(options)
    {
    }

    ~CurlHttpObject() override { curl_easy_cleanup(easy_); }

    void set_timeouts(int resolve_ms, int connect_ms, int send_ms, int receive_ms) override
    {
        const auto positive = [](int ms) { return static_cast<long>(std::max(ms, 0)); };
        connect_ms_ = positive(resolve_ms) + positive(connect_ms);
        silence_ms_ = positive(receive_ms);
        total_ms_ = connect_ms_ + positive(send_ms) + silence_ms_;
    }

    void set_proxy(int setting, std::string_view proxy) override
    {
        proxy_ = setting == 2 ? std::string(proxy) : std::string();
    }

    void open(std::string_view verb, std::string_view url, bool asynchronous) override
    {
        verb_ = verb;
        url_ = url;
        usable_ = !asynchronous;
        follow_redirects_ = true;
        headers_.clear();
        user_.clear();
        password_.clear();
        clear_response();
    }

    void set_option(int index, int value) override
    {
        if (index == option_enable_redirects)
            follow_redirects_ = value != 0;
    }

    void set_credentials(std::string_view user, std::string_view password, int target) override
    {
        user_ = user;
        password_ = password;
        credentials_for_proxy_ = target == 1;
    }

    void set_request_header(std::string_view name, std::string_view value) override
    {
        if (name.empty() || unsafe_in_header(name) || unsafe_in_header(value)
            || name.find(':') != std::string_view::npos)
            return;
        headers_.emplace_back(name, value);
    }

    void send(const ByteArray& body) override
    {
        clear_response();
        if (!usable_ || url_.empty() || (options_.abort != nullptr && options_.abort->aborted()))
            return;
        Slist server_headers;
        Slist proxy_headers;
        configure(body, server_headers, proxy_headers);
        if (perform() == CURLE_OK) {
            long code = 0;
            curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &code);
            status_ = static_cast<int>(code);
        } else {
            clear_response();
        }
        // Nothing the transfer pointed at may outlive this call.
        curl_easy_reset(easy_);
    }

    ByteArray response_body() override { return body_; }
    Text all_response_headers() override { return response_headers_; }
    int status() override { return status_; }

private:
    void clear_response()
    {
        bytes_received_ = 0;
        bytes_sent_ = 0;
        body_.clear();
        response_headers_.clear();
        header_bytes_ = 0;
        status_ = 0;
    }

    void configure(const ByteArray& body, Slist& server_headers, Slist& proxy_headers)
    {
        CURL* e = easy_;
        curl_easy_setopt(e, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, follow_redirects_ ? 1L : 0L);
        curl_easy_setopt(e, CURLOPT_MAXREDIRS, max_redirects);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
        // libcurl does not read the variables OpenSSL-based tools honour.
        if (const char* file = std::getenv("SSL_CERT_FILE"); file != nullptr && *file != '\0')
            curl_easy_setopt(e, CURLOPT_CAINFO, file);
        if (const char* dir = std::getenv("SSL_CERT_DIR"); dir != nullptr && *dir != '\0')
            curl_easy_setopt(e, CURLOPT_CAPATH, dir);
        if (options_.share_connections && CurlRuntime::get().share() != nullptr)
            curl_easy_setopt(e, CURLOPT_SHARE, CurlRuntime::get().share());

        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, connect_ms_);
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, total_ms_);
        // Silence is watched in run(): libcurl's low-speed check averages
        // over seconds, so bytes just sent would hide a silent server.
        curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &CurlHttpObject::on_progress);
        curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);

        if (!proxy_.empty()) {
            curl_easy_setopt(e, CURLOPT_PROXY, proxy_.c_str());
            curl_easy_setopt(e, CURLOPT_HEADEROPT, static_cast<long>(CURLHEADER_SEPARATE));
        }
        if (!user_.empty()) {
            if (credentials_for_proxy_) {
                curl_easy_setopt(e, CURLOPT_PROXYUSERNAME, user_.c_str());
                curl_easy_setopt(e, CURLOPT_PROXYPASSWORD, password_.c_str());
            } else {
                curl_easy_setopt(e, CURLOPT_USERNAME, user_.c_str());
                curl_easy_setopt(e, CURLOPT_PASSWORD, password_.c_str());
                curl_easy_setopt(e, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
            }
        }

        const bool has_body = !body.empty();
        if (verb_ == "HEAD") {
            curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        } else if (verb_ == "GET" && !has_body) {
            curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        } else {
            if (has_body || verb_ == "POST") {
                curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
                curl_easy_setopt(e, CURLOPT_COPYPOSTFIELDS, body.empty() ? "" : reinterpret_cast<const char*>(body.data()));
            }
            if (verb_ != "POST")
                curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, verb_.c_str());
        }

        // The request carries the headers it was given and nothing of
        // libcurl's own beyond what HTTP needs (Host, Content-Length).
        bool has_accept = false;
        bool has_content_type = false;
        for (const auto& [name, value] : headers_) {
            has_accept = has_accept || same_name(name, "Accept");
            has_content_type = has_content_type || same_name(name, "Content-Type");
            // "Name;" is libcurl's way to send a header with an empty value.
            const std::string line = value.empty() ? name + ";" : name + ": " + value;
            append(same_name(name, "Proxy-Authorization") ? proxy_headers : server_headers, line);
        }
        if (!has_accept)
            append(server_headers, "Accept:");
        if (!has_content_type)
            append(server_headers, "Content-Type:");
        append(server_headers, "Expect:");
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, server_headers.get());
        if (proxy_headers)
            curl_easy_setopt(e, CURLOPT_PROXYHEADER, proxy_headers.get());

        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlHttpObject::on_body);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlHttpObject::on_header);
        curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    }

    // Runs the transfer on a private multi handle so that an abort from
    // another thread wakes the wait at once.
    CURLcode perform()
    {
        CURLM* multi = curl_multi_init();
        if (multi == nullptr)
            return CURLE_OUT_OF_MEMORY;
        CURLcode result = CURLE_FAILED_INIT;
        if (curl_multi_add_handle(multi, easy_) == CURLM_OK) {
            MultiWaiter waiter(multi);
            if (options_.abort != nullptr)
                options_.abort->attach(waiter);
            result = run(multi);
            if (options_.abort != nullptr)
                options_.abort->detach(waiter);
            curl_multi_remove_handle(multi, easy_);
        }
        curl_multi_cleanup(multi);
        return result;
    }

    CURLcode run(CURLM* multi)
    {
        using Clock = std::chrono::steady_clock;
        const std::chrono::milliseconds silence(silence_ms_);
        bool connected = false;
        int running = 1;
        while (running != 0) {
            if (options_.abort != nullptr && options_.abort->aborted())
                return CURLE_ABORTED_BY_CALLBACK;
            if (curl_multi_perform(multi, &running) != CURLM_OK)
                return CURLE_FAILED_INIT;
            if (running == 0)
                break;
            // The receive time-out counts from the moment the exchange
            // proper begins; connecting has its own.
            if (!connected) {
                curl_off_t begun = 0;
                curl_easy_getinfo(easy_, CURLINFO_PRETRANSFER_TIME_T, &begun);
                if (begun > 0) {
                    connected = true;
                    last_activity_ = Clock::now();
                }
            }
            int wait_ms = 1000;
            if (connected && silence_ms_ > 0) {
                const auto quiet = Clock::now() - last_activity_;
                if (quiet >= silence)
                    return CURLE_OPERATION_TIMEDOUT;
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(silence - quiet);
                wait_ms = static_cast<int>(std::clamp<long long>(left.count() + 1, 1, 1000));
            }
            if (curl_multi_poll(multi, nullptr, 0, wait_ms, nullptr) != CURLM_OK)
                return CURLE_FAILED_INIT;
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE)
                return message->data.result;
        }
        return CURLE_FAILED_INIT;
    }

    // Any byte moving either way is a sign of life.
    static int on_progress(void* self_ptr, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
    {
        auto* self = static_cast<CurlHttpObject*>(self_ptr);
        if (received != self->bytes_received_ || sent != self->bytes_sent_) {
            self->bytes_received_ = received;
            self->bytes_sent_ = sent;
            self->last_activity_ = std::chrono::steady_clock::now();
        }
        return 0;
    }

    static std::size_t on_body(char* data, std::size_t unit, std::size_t count, void* self_ptr)
    {
        auto* self = static_cast<CurlHttpObject*>(self_ptr);
        const std::size_t size = unit * count;
        self->last_activity_ = std::chrono::steady_clock::now();
        if (self->body_.size() + size > max_body_bytes)
            return 0; // ends the transfer as a failure
        self->body_.insert(self->body_.end(), data, data + size);
        return size;
    }

    static std::size_t on_header(char* data, std::size_t unit, std::size_t count, void* self_ptr)
    {
        auto* self = static_cast<CurlHttpObject*>(self_ptr);
        const std::size_t size = unit * count;
        self->last_activity_ = std::chrono::steady_clock::now();
        self->header_bytes_ += size;
        if (self->header_bytes_ > max_header_bytes)
            return 0;
        std::string_view line(data, size);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        if (line.substr(0, 5) == "HTTP/") {
            // A new response (after a redirect or an interim 1xx) starts.
            self->response_headers_.clear();
            return size;
        }
        if (line.empty())
            return size;
        std::string clean;
        clean.reserve(line.size());
        for (char c : line) {
            if (c != '\0')
                clean += c;
        }
        const std::size_t colon = clean.find(':');
        if (colon == std::string::npos) {
            self->response_headers_ += clean;
        } else {
            const std::size_t value = clean.find_first_not_of(" \t", colon + 1);
            self->response_headers_ += clean.substr(0, colon);
            self->response_headers_ += ": ";
            if (value != std::string::npos)
                self->response_headers_ += clean.substr(value);
        }
        self->response_headers_ += "\r\n";
        return size;
    }

    CURL* easy_;
    HttpObjectOptions options_;

    long connect_ms_ = 60000;
    long silence_ms_ = 30000;
    long total_ms_ = 120000;
    std::string proxy_;

    std::string verb_ = "GET";
    std::string url_;
    bool usable_ = false;
    bool follow_redirects_ = true;
    std::vector<std::pair<std::string, std::string>> headers_;
    std::string user_;
    std::string password_;
    bool credentials_for_proxy_ = true;

    ByteArray body_;
    Text response_headers_;
    std::size_t header_bytes_ = 0;
    int status_ = 0;

    std::chrono::steady_clock::time_point last_activity_;
    curl_off_t bytes_received_ = 0;
    curl_off_t bytes_sent_ = 0;
};

} // namespace

std::unique_ptr<HttpObject> create_http_object(const HttpObjectOptions& options)
{
    CurlRuntime::get();
    CURL* easy = curl_easy_init();
    if (easy == nullptr)
        return nullptr;
    return std::make_unique<CurlHttpObject>(easy, options);
}

} // namespace quenmark::http
