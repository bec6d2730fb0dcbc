// Short codes and the long links they stand for, kept in SQLite.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>

struct sqlite3;

namespace quenmark::server {

// Safe to use from several threads at once.
class LinkStore {
public:
    // Opens the database `file`, creating it and its table when missing.
    explicit LinkStore(const std::filesystem::path& file);
    ~LinkStore();
    LinkStore(const LinkStore&) = delete;
    LinkStore& operator=(const LinkStore&) = delete;

    [[nodiscard]] bool valid() const { return db_ != nullptr; }

    // The code of `url` for service `service`: the same code every time for
    // the same link, a new one on first use. Empty on a database failure.
    [[nodiscard]] std::string code_for(int service, const std::string& url);

    // The link behind `code` for service `service`; empty when unknown.
    [[nodiscard]] std::string url_for(int service, const std::string& code);

private:
    std::string insert_link(int service, const std::string& url);

    sqlite3* db_ = nullptr;
    std::mutex mutex_;
};

} // namespace quenmark::server
