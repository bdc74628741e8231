// The catalogue's tables and the steps that bring a file written by an
// older player up to this one's. `PRAGMA user_version` holds the version a
// file is at; a new file is made as version 1 and migrated like any other,
// so every step is the one real files take.
#pragma once

namespace orba::sql {
class Database;
}

namespace orba::schema {

inline constexpr int kCurrentVersion = 5;

// Defines search_form() for this connection (the migrations use it).
void addFunctions(sql::Database& db);

// Migrates the file, inside one write transaction, to kCurrentVersion.
// Throws sql::Error (damaged()) when the file holds tables but no song
// library, and std::runtime_error when a newer player wrote it.
void bringUpToDate(sql::Database& db);

}  // namespace orba::schema
