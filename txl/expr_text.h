// Expression text helpers for the editor: writing a reference to a user function, wrapping
// a text for insertion into a larger one, and recognising a text that is a plain constant.
#pragma once

#include <string>
#include <string_view>

#include "txl/anyval.h"

namespace quillet {

// Appends `@name` when the name can be written as a bare identifier, else `@"..."` with the
// name escaped as in a string literal (a keyword is quoted too, since `@if` would not parse).
void write_user_function_ref(std::string_view name, std::string& out);

// The text ready to be inserted into a larger expression: "( " + text + " )" when it is a
// list of statements, unchanged otherwise. False (out untouched) when the text does not
// compile.
bool wrap_for_embedding(std::string_view text, std::string& out);

// True with the value when the text compiles to a constant (through the root and through
// sequences of exactly one statement), so the editor can show a plain value.
bool constant_value(std::string_view text, anyval& value);

}  // namespace quillet
