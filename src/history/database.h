#pragma once
// A thin hold on SQLite's C interface: an open database and its prepared statements, closed and
// finalized when they go out of scope. Every failure throws StoreError with SQLite's own code and
// words, so that callers can tell a damaged file or a full disk from other failures.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vornex::history {

class StoreError : public std::runtime_error {
public:
    StoreError(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}
    int code() const { return m_code; }
    // The file is no database, or its pages do not fit together.
    bool damaged() const;

private:
    int m_code;
};

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQL.
    Statement& bind(int index, int64_t value);
    Statement& bind(int index, std::string_view text);
    // True while a row is there to read; false once the statement is done.
    bool step();
    // Ready to run again with new parameters.
    void reset();

    int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

class Database {
public:
    // Opens the file, creating it when it is not there. The file is not read yet: a file that is no
    // database shows only at the first statement.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(std::string_view sql);
    // The first column of the first row of a query that gives one number.
    int64_t number(std::string_view sql);
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// Throws StoreError for a result code that is neither OK, ROW nor DONE.
void check(sqlite3* db, int rc);

} // namespace vornex::history
