// A thin hold on SQLite's C API for the song catalogue: a connection, its
// prepared statements and transactions, each freed by its owner. Inside
// library/ only: no other folder sees SQLite's types.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace orba::sql {

class Error : public std::runtime_error {
public:
    Error(int code, const std::string& text) : std::runtime_error(text), m_code(code) {}
    int code() const { return m_code; }
    // The file is not a database or its pages contradict each other.
    bool damaged() const;
    // Another connection holds the write lock past the wait.
    bool busy() const;

private:
    int m_code;
};

class Statement {
public:
    Statement(sqlite3* db, std::string_view text);

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, std::int64_t{value}); }
    Statement& bind(int index, bool value) { return bind(index, std::int64_t{value}); }
    Statement& bind(int index, std::string_view text);
    // None binds NULL.
    Statement& bind(int index, std::optional<int> value);
    Statement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
    Statement& bind(int index, const std::string& text) {
        return bind(index, std::string_view(text));
    }

    // The next row: true while there is one. A statement that has given
    // its last row is reset for the next binding.
    bool step();
    // Steps until done and resets.
    void run();
    void reset();

    std::int64_t integer(int column) const;
    // None for NULL.
    std::optional<int> optionalInteger(int column) const;
    std::string text(int column) const;
    std::string_view textView(int column) const;  // valid until the next step

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
    sqlite3* m_db;
};

class Database {
public:
    // Opens or creates the file; waits up to `busyMs` for another
    // connection's lock before giving up.
    Database(const std::string& path, int busyMs);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void exec(std::string_view sql);
    Statement prepare(std::string_view sql) { return Statement(m_db, sql); }
    std::int64_t integer(std::string_view sql);
    std::int64_t lastInsertId() const;
    // Leaves the write-ahead log in place on close: the file was replaced,
    // and the log of that name is the new file's.
    void keepLogOnClose();
    // Rows this connection has written since it opened.
    std::int64_t totalChanges() const;
    // Rows the last INSERT, UPDATE or DELETE touched.
    int changes() const;
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// A write transaction that takes the write lock at once (another player
// waits for it, never halfway through); rolled back unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_open = true;
};

}  // namespace orba::sql
