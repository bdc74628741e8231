#include "library/sqlite.h"

#include <sqlite3.h>

namespace orba::sql {

namespace {

[[noreturn]] void fail(sqlite3* db, int code) {
    throw Error(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

void check(sqlite3* db, int code) {
    if (code != SQLITE_OK) fail(db, code);
}

}  // namespace

bool Error::damaged() const {
    const int primary = m_code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool Error::busy() const {
    const int primary = m_code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

void Statement::Finalizer::operator()(sqlite3_stmt* s) const {
    sqlite3_finalize(s);
}

Statement::Statement(sqlite3* db, std::string_view text) : m_db(db) {
    sqlite3_stmt* s = nullptr;
    check(db, sqlite3_prepare_v3(db, text.data(), static_cast<int>(text.size()),
                                 SQLITE_PREPARE_PERSISTENT, &s, nullptr));
    m_stmt.reset(s);
}

Statement& Statement::bind(int index, std::int64_t value) {
    check(m_db, sqlite3_bind_int64(m_stmt.get(), index, value));
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    // An empty view may have no data pointer; SQLite would take that for NULL.
    check(m_db, sqlite3_bind_text64(m_stmt.get(), index, text.empty() ? "" : text.data(),
                                    text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Statement& Statement::bind(int index, std::optional<int> value) {
    if (value) return bind(index, std::int64_t{*value});
    check(m_db, sqlite3_bind_null(m_stmt.get(), index));
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW) return true;
    sqlite3_reset(m_stmt.get());
    if (rc != SQLITE_DONE) fail(m_db, rc);
    return false;
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(m_stmt.get());
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(m_stmt.get(), column);
}

std::optional<int> Statement::optionalInteger(int column) const {
    if (sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_int(m_stmt.get(), column);
}

std::string Statement::text(int column) const {
    return std::string(textView(column));
}

std::string_view Statement::textView(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    if (!p) return {};
    return {p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt.get(), column))};
}

Database::Database(const std::string& path, int busyMs) {
    const int rc = sqlite3_open_v2(
        path.c_str(), &m_db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE,
        nullptr);
    if (rc != SQLITE_OK) {
        const Error e(rc, m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
        sqlite3_close(m_db);
        throw e;
    }
    sqlite3_busy_timeout(m_db, busyMs);
}

Database::~Database() {
    sqlite3_close_v2(m_db);
}

void Database::exec(std::string_view sql) {
    const std::string text(sql);
    check(m_db, sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr));
}

std::int64_t Database::integer(std::string_view sql) {
    Statement s(m_db, sql);
    const std::int64_t value = s.step() ? s.integer(0) : 0;
    s.reset();
    return value;
}

std::int64_t Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}

void Database::keepLogOnClose() {
    int keep = 1;
    sqlite3_file_control(m_db, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
}

std::int64_t Database::totalChanges() const {
    return sqlite3_total_changes64(m_db);
}

int Database::changes() const {
    return sqlite3_changes(m_db);
}

Transaction::Transaction(Database& db) : m_db(db) {
    m_db.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (m_open) sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_db.exec("COMMIT");
    m_open = false;
}

}  // namespace orba::sql
