// Reading the shape of an expression text for the builders: the one function call a text
// consists of, its arguments as text, and arguments read as constants; and writing typed
// text back as a string literal.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::editor {

// A call of a built-in function as it stands in the text: the arguments are the exact
// source text of each argument.
struct call_shape {
  std::string name;
  std::vector<std::string> args;
};

// An arity that match_call accepts with any number of arguments.
inline constexpr std::size_t call_any_arity = static_cast<std::size_t>(-1);

// The call the whole text consists of when it is a call of `name` with exactly `arity`
// arguments (an empty name takes any built-in, call_any_arity any count); nothing for any other text, including one
// that does not compile.
std::optional<call_shape> match_call(std::string_view text, std::string_view name, std::size_t arity);

// The string a text holds when it compiles to a string constant.
std::optional<std::string> string_constant(std::string_view text);
// The integer a text holds when it compiles to an integer constant.
std::optional<int> int_constant(std::string_view text);

// The text written as a string literal, with the escapes the language reads back.
std::string string_literal(std::string_view text);

// True when the text compiles as an expression.
bool compiles(std::string_view text);

}  // namespace quillet::editor
