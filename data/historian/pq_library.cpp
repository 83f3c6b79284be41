// Loads the PostgreSQL client library by its shared-object name, once per process.
#include "data/historian/pq_library.h"

#include <dlfcn.h>

#include "data/historian/library_once.h"

namespace quillet {

namespace {

constexpr const char* library_name = "libpq.so.5";

// Looks one function up; false when the library lacks it.
template <typename F>
bool find(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
  return function != nullptr;
}

// Opens the library and finds every function; the message of the first failure otherwise.
std::string open_library(pq_api& api) {
  void* library = dlopen(library_name, RTLD_NOW | RTLD_LOCAL);
  if (!library)
    return std::string("the PostgreSQL client library cannot be loaded: ") + dlerror();
  const bool found = find(library, "PQconnectdb", api.PQconnectdb) && find(library, "PQstatus", api.PQstatus) &&
                     find(library, "PQerrorMessage", api.PQerrorMessage) && find(library, "PQfinish", api.PQfinish) &&
                     find(library, "PQexec", api.PQexec) && find(library, "PQexecParams", api.PQexecParams) &&
                     find(library, "PQresultStatus", api.PQresultStatus) && find(library, "PQntuples", api.PQntuples) &&
                     find(library, "PQgetvalue", api.PQgetvalue) && find(library, "PQgetlength", api.PQgetlength) &&
                     find(library, "PQclear", api.PQclear);
  if (found)
    return {};
  dlclose(library);
  return std::string("the PostgreSQL client library ") + library_name + " lacks a function the store needs";
}

}  // namespace

const pq_api* load_pq_library(std::string& error) { return load_library_once(open_library, error); }

}  // namespace quillet
