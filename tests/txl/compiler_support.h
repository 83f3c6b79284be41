// Helpers for the compiler tests: the parse tree written as compact text, so that a test
// row can state the shape it expects, and the result of compiling and evaluating a text.
#pragma once

#include <string>
#include <string_view>

#include "txl/compiler.h"

namespace quillet::testing_support {

// Operators as (name operands...), lists as {a; b}, variables by name ("var x" for a
// declaration, "x[i]" indexed), calls as F(a, b) or @f(a), integers as 1, floats as 1.5f,
// strings quoted.
std::string tree_text(const txl_node* n);

// Compiles the text without a target and writes its parse tree; on failure "error N".
std::string parse_text(std::string_view source);

// Compiles, binds the built-ins and evaluates; the value as a literal, or the error text.
std::string eval_text(std::string_view source);

}  // namespace quillet::testing_support
