#include "history/database.h"

#include <sqlite3.h>

namespace vornex::history {

bool StoreError::damaged() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

void check(sqlite3* db, int rc)
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    throw StoreError(rc, message ? message : sqlite3_errstr(rc));
}

Statement::Statement(sqlite3* db, std::string_view sql) : m_db(db)
{
    check(db, sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement& Statement::bind(int index, int64_t value)
{
    check(m_db, sqlite3_bind_int64(m_stmt, index, value));
    return *this;
}

Statement& Statement::bind(int index, std::string_view text)
{
    check(m_db, sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // The statement's own code names the failure (a busy database, a full disk, a damaged page).
    sqlite3_reset(m_stmt);
    check(m_db, rc);
    return false;
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string Statement::text(int column) const
{
    const auto* bytes = sqlite3_column_text(m_stmt, column);
    const int n = sqlite3_column_bytes(m_stmt, column);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n)) : std::string();
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

Database::Database(const std::string& path)
{
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string why = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw StoreError(rc, why);
    }
    sqlite3_extended_result_codes(m_db, 1);
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
}

void Database::exec(std::string_view sql)
{
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string why = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw StoreError(rc, why);
    }
}

int64_t Database::number(std::string_view sql)
{
    Statement s(m_db, sql);
    return s.step() ? s.integer(0) : 0;
}

} // namespace vornex::history
