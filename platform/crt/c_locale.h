// The "C" locale as an object, for the C library calls whose output must not follow a
// process locale that someone set for the user interface (decimal point, digits).
#pragma once

#include <locale.h>

namespace quillet::crt {

// Made once, never freed; null only if the C library cannot make a "C" locale.
locale_t c_numeric_locale();

}  // namespace quillet::crt
