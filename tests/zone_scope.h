// Test helper: sets the TZ time zone for one scope and puts the previous value back, so a
// test can run the C library's local-time conversions in a zone of its choosing.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace quillet::test {

class zone_scope {
public:
  explicit zone_scope(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    old_ = had_ ? old : "";
    setenv("TZ", zone, 1);
    tzset();
  }
  ~zone_scope() {
    had_ ? setenv("TZ", old_.c_str(), 1) : unsetenv("TZ");
    tzset();
  }
  zone_scope(const zone_scope&) = delete;
  zone_scope& operator=(const zone_scope&) = delete;

private:
  bool had_ = false;
  std::string old_;
};

// Central European time with its daylight saving rules, written out so no zone database is needed.
inline constexpr const char* zone_cet = "CET-1CEST,M3.5.0,M10.5.0/3";

}  // namespace quillet::test
