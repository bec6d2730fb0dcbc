#include "server/link_store.h"

#include <sqlite3.h>

#include <memory>

namespace quenmark::server {
namespace {

struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    return Statement(statement);
}

std::string column_text(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text != nullptr ? std::string(text) : std::string();
}

// Codes look random but are a bijection of the row number: the row number
// times a multiplier prime to 62 (odd, not a multiple of 31), modulo 62^6,
// written in six base-62 digits. Every row gets its own code, with no
// lookup for collisions.
std::string code_of_row(sqlite3_int64 row)
{
    static constexpr char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    constexpr unsigned __int128 space = 62ULL * 62 * 62 * 62 * 62 * 62;
    constexpr unsigned __int128 multiplier = 22801763489ULL;
    auto value = static_cast<unsigned long long>(static_cast<unsigned __int128>(row) * multiplier % space);
    std::string code(6, '0');
    for (int i = 5; i >= 0; --i) {
        code[static_cast<std::size_t>(i)] = digits[value % 62];
        value /= 62;
    }
    return code;
}

} // namespace

LinkStore::LinkStore(const std::filesystem::path& file)
{
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr)
        != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
        return;
    }
    sqlite3_busy_timeout(db_, 5000);
    const char* schema = "PRAGMA journal_mode=WAL;"
                         "PRAGMA synchronous=NORMAL;"
                         "CREATE TABLE IF NOT EXISTS links ("
                         "  id INTEGER PRIMARY KEY,"
                         "  service INTEGER NOT NULL,"
                         "  url TEXT NOT NULL,"
                         "  code TEXT,"
                         "  UNIQUE (service, url));"
                         "CREATE UNIQUE INDEX IF NOT EXISTS links_by_code ON links (service, code);";
    if (sqlite3_exec(db_, schema, nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

LinkStore::~LinkStore()
{
    sqlite3_close(db_);
}

std::string LinkStore::code_for(int service, const std::string& url)
{
    if (db_ == nullptr)
        return {};
    std::lock_guard lock(mutex_);
    Statement find = prepare(db_, "SELECT code FROM links WHERE service = ?1 AND url = ?2");
    if (!find)
        return {};
    sqlite3_bind_int(find.get(), 1, service);
    sqlite3_bind_text(find.get(), 2, url.data(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(find.get()) == SQLITE_ROW)
        return column_text(find.get(), 0);

    // The row and its code appear together or not at all.
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        return {};
    std::string code = insert_link(service, url);
    if (sqlite3_exec(db_, code.empty() ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        code.clear();
    return code;
}

std::string LinkStore::insert_link(int service, const std::string& url)
{
    Statement insert = prepare(db_, "INSERT INTO links (service, url) VALUES (?1, ?2)");
    if (!insert)
        return {};
    sqlite3_bind_int(insert.get(), 1, service);
    sqlite3_bind_text(insert.get(), 2, url.data(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert.get()) != SQLITE_DONE)
        return {};
    const sqlite3_int64 row = sqlite3_last_insert_rowid(db_);
    const std::string code = code_of_row(row);
    Statement name = prepare(db_, "UPDATE links SET code = ?1 WHERE id = ?2");
    if (!name)
        return {};
    sqlite3_bind_text(name.get(), 1, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(name.get(), 2, row);
    return sqlite3_step(name.get()) == SQLITE_DONE ? code : std::string();
}

std::string LinkStore::url_for(int service, const std::string& code)
{
    if (db_ == nullptr)
        return {};
    std::lock_guard lock(mutex_);
    Statement find = prepare(db_, "SELECT url FROM links WHERE service = ?1 AND code = ?2");
    if (!find)
        return {};
    sqlite3_bind_int(find.get(), 1, service);
    sqlite3_bind_text(find.get(), 2, code.c_str(), -1, SQLITE_TRANSIENT);
    return sqlite3_step(find.get()) == SQLITE_ROW ? column_text(find.get(), 0) : std::string();
}

} // namespace quenmark::server
