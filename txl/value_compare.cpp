// Ordering and truth of values, as the comparison and logical operators see them.
#include <cstring>

#include "txl/anyval.h"

namespace quillet {

namespace {

// A byte string as strcmp sees it: up to its first NUL byte.
std::string_view c_string_part(const std::string& s) {
  return std::string_view(s.data(), std::strlen(s.c_str()));
}

}  // namespace

// Two strings compare byte by byte as unsigned bytes (so "10" < "9"); any other pair
// compares by number conversion, a failed conversion counting with what it stored.
std::partial_ordering compare_values(const anyval& a, const anyval& b) {
  const std::string* sa = a.as_string();
  const std::string* sb = b.as_string();
  if (sa && sb) {
    int c = c_string_part(*sa).compare(c_string_part(*sb));
    return c < 0 ? std::partial_ordering::less
                 : c > 0 ? std::partial_ordering::greater : std::partial_ordering::equivalent;
  }
  double da = 0.0;
  double db = 0.0;
  a.to_double(da);
  b.to_double(db);
  return da <=> db;
}

// A float between -1 and 1 truncates to 0 and is false; "yes" does not convert and is false.
bool is_true(const anyval& v) {
  std::int32_t i = 0;
  return v.to_int(i) && i != 0;
}

}  // namespace quillet
