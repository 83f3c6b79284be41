// Time formatting as the original platform's C library did it, in its C locale. Templates
// print dates with these directives, so their texts are fixed here rather than left to glibc,
// whose "#" flag and "%x"/"%c" forms differ.
#pragma once

#include <cstddef>
#include <ctime>

namespace quillet::crt {

// Formats the calendar fields by format into out, which holds max bytes, and returns the
// number of bytes written without the terminating zero. Directives: %a %A %b %B %c %d %H %I
// %j %m %M %p %S %U %w %W %x %X %y %Y %z %Z %%; "#" after "%" drops leading zeros of the
// numeric ones and selects the long date in %#x and %#c. Unknown directives print nothing.
// When the text and its zero do not fit, returns 0 and leaves out empty (when max > 0).
std::size_t strftime(char* out, std::size_t max, const char* format, const std::tm& fields);

}  // namespace quillet::crt
