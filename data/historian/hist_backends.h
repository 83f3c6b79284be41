// The back ends of the history store, each opened by hist_open_store from a store name.
#pragma once

#include <memory>
#include <string>

#include "data/historian/hist_store.h"

namespace quillet {

// A SQLite file in WAL mode; read-only connections hold one read transaction until closed.
std::unique_ptr<hist_store> hist_open_sqlite_store(const std::string& path, bool writable, std::string& error);

// A PostgreSQL database named by a connection URI.
std::unique_ptr<hist_store> hist_open_postgres_store(const std::string& uri, bool writable, std::string& error);

}  // namespace quillet
