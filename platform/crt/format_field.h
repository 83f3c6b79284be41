// Shared by the value formatters of platform/crt: the placing of a formatted body in its
// field, with the sign or prefix and the width padding of the conversion.
#pragma once

#include <string>
#include <string_view>

#include "platform/crt/printf_format.h"

namespace quillet::crt {

// Appends prefix and body padded to the conversion's width: spaces before (or after, with '-'),
// or zeros between prefix and body with '0'. The original padded any conversion with
// zeros under '0', strings and special floats included.
void append_field(const conversion_spec& spec, std::string_view prefix, std::string_view body,
                  std::string& out);

// The same placing for a field already written at the end of out: prefix and body start at
// `start`, the prefix is `prefix_size` bytes long.
void pad_field_in_place(const conversion_spec& spec, std::size_t prefix_size, std::size_t start,
                        std::string& out);

// The digit-string rendering that every float conversion can take, specials included:
// format_double_spec's direct paths for common conversions give the same bytes.
void format_double_spec_general(const conversion_spec& spec, double value, std::string& out);

}  // namespace quillet::crt
