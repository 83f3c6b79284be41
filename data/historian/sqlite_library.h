// The SQLite library, loaded when a SQLite store is first opened, so that every other run of
// the program (reports over the simulated source or a PostgreSQL store, the editor, checks)
// skips loading it and binding its imports at start. The functions stay loaded until the
// process ends.
#pragma once

#include <sqlite3.h>

#include <string>

namespace quillet {

// Every function the SQLite store calls.
#define QUILLET_SQLITE_FUNCTIONS(X)                                                                          \
  X(sqlite3_bind_blob) X(sqlite3_bind_double) X(sqlite3_bind_int) X(sqlite3_bind_int64) X(sqlite3_bind_text) \
  X(sqlite3_busy_timeout) X(sqlite3_clear_bindings) X(sqlite3_close) X(sqlite3_column_blob)                  \
  X(sqlite3_column_bytes) X(sqlite3_column_int) X(sqlite3_column_int64) X(sqlite3_column_text)               \
  X(sqlite3_errmsg) X(sqlite3_exec) X(sqlite3_finalize) X(sqlite3_free) X(sqlite3_get_autocommit)           \
  X(sqlite3_open_v2) X(sqlite3_prepare_v2) X(sqlite3_prepare_v3) X(sqlite3_reset) X(sqlite3_step)

// The library's functions under their own names.
struct sqlite_api {
#define QUILLET_SQLITE_FIELD(name) decltype(&::name) name;
  QUILLET_SQLITE_FUNCTIONS(QUILLET_SQLITE_FIELD)
#undef QUILLET_SQLITE_FIELD
};

// The loaded library, or null with `error` saying why it could not be loaded.
const sqlite_api* load_sqlite_library(std::string& error);

}  // namespace quillet
