// The conversions of the "Parameter" input dialog: what its field shows for a value
// expression, and the expression text its OK stores for what was typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet::editor {

// The modes a caller opens the input in.
enum class parameter_mode : int { integer = 1, floating = 2, text = 3 };

// The expression text OK stores for `typed` in `mode`: integers (C notation: decimal, "0x"
// hexadecimal, octal after a leading 0, optional sign) and floats as literals, text as a
// string literal. Nothing when the text does not convert completely: empty, something after
// the number, or a number outside the range of its type.
std::optional<std::string> parameter_input_value(std::string_view typed, parameter_mode mode);

// The plain text the field opens with: the value expression read as a constant and its text
// form (a string without quotes). The expression text itself when it is no constant.
std::string parameter_input_text(std::string_view expr);

}  // namespace quillet::editor
