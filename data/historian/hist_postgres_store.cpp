// PostgreSQL stores: not built into this version.
#include "data/historian/hist_backends.h"

namespace quillet {

std::unique_ptr<hist_store> hist_open_postgres_store(const std::string& uri, bool, std::string& error) {
  error = "PostgreSQL stores are not supported by this quillet (" + uri + ")";
  return nullptr;
}

}  // namespace quillet
