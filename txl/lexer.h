// The tokenizer of the expression language: turns expression text into tokens with their
// byte positions and, for literals and identifiers, their values. It keeps no state beyond
// its position in a text it does not own; the compiler makes parse nodes from its tokens.
#pragma once

#include <cstdint>
#include <string_view>

#include "txl/anyval.h"

namespace quillet {

// Token codes the parser knows. Named tokens take the codes 258 and up in this order (the
// grammar declares them in the same order); single characters are their own codes.
enum txl_token_code : int {
  tok_end = 0,
  tok_undefined = 257,  // a malformed literal; the parser rejects it
  tok_identifier = 258,
  tok_integer,
  tok_float,
  tok_string,
  tok_and,
  tok_or,
  tok_eq,
  tok_ne,
  tok_lt,
  tok_le,
  tok_gt,
  tok_ge,
  tok_assign,
  tok_not,
  tok_inv,
  tok_shl,
  tok_shr,
  tok_if,
  tok_then,
  tok_else,
  tok_return,
  tok_while,
  tok_do,
  tok_for,
  tok_to,
  tok_reserved,  // never produced
  tok_break,
  tok_continue,
  tok_var,
};

// Compile error codes the tokenizer reports for malformed literals.
enum : int { txl_err_bad_number = 1, txl_err_bad_string = 2 };

struct txl_token {
  int code = tok_end;
  std::int32_t start = 0;  // byte offset of the first byte
  std::int32_t end = 0;    // byte offset one past the last byte
  anyval value;            // literal value, or an identifier's name as a string
  int error = 0;           // txl_err_bad_number or txl_err_bad_string, else 0
};

class txl_lexer {
public:
  // The text ends at its first zero byte, if any.
  explicit txl_lexer(std::string_view text);

  // Scans the next token; at the end of the text returns tok_end again and again.
  txl_token next();
  // Offset of the next token's first byte, skipping blanks and comments from `from` on.
  std::int32_t skip_blanks(std::int32_t from) const;
  std::string_view text() const { return text_; }

private:
  txl_token scan_number(std::int32_t start);
  txl_token scan_hex_number(std::int32_t start);
  txl_token scan_string(std::int32_t start);
  txl_token scan_word(std::int32_t start);
  txl_token scan_operator(std::int32_t start);
  txl_token malformed(std::int32_t start, int error);
  int byte(std::int32_t at) const;

  std::string_view text_;
  std::int32_t pos_ = 0;
};

// Keyword token of a whole identifier, or tok_identifier when it is none.
int txl_keyword_code(std::string_view word);

// Literal conversions: the C library's unsigned conversion with automatic base, saturating at
// 4294967295 and stored as signed 32-bit; a float literal as strtod reads it in the "C" locale;
// the body of a string literal with its escapes replaced.
std::int32_t txl_integer_literal(std::string_view digits);
double txl_float_literal(std::string_view digits);
std::string txl_string_literal(std::string_view body);

}  // namespace quillet
