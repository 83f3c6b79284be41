// Loads the SQLite library by its shared-object name, once per process.
#include "data/historian/sqlite_library.h"

#include <dlfcn.h>

#include "data/historian/library_once.h"

namespace quillet {

namespace {

constexpr const char* library_name = "libsqlite3.so.0";

// Opens the library and finds every function; the message of the first failure otherwise.
std::string open_library(sqlite_api& api) {
  void* library = dlopen(library_name, RTLD_NOW | RTLD_LOCAL);
  if (!library)
    return std::string("the SQLite library cannot be loaded: ") + dlerror();
  const char* missing = nullptr;
#define QUILLET_SQLITE_FIND(name)                                        \
  api.name = reinterpret_cast<decltype(api.name)>(dlsym(library, #name)); \
  if (!api.name && !missing)                                              \
    missing = #name;
  QUILLET_SQLITE_FUNCTIONS(QUILLET_SQLITE_FIND)
#undef QUILLET_SQLITE_FIND
  if (!missing)
    return {};
  dlclose(library);
  return std::string("the SQLite library ") + library_name + " lacks " + missing;
}

}  // namespace

const sqlite_api* load_sqlite_library(std::string& error) { return load_library_once(open_library, error); }

}  // namespace quillet
