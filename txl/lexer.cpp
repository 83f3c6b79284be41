// The tokenizer: blanks and comments, numbers, strings, words and operators.
#include "txl/lexer.h"

#include <array>
#include <string>

#include "platform/crt/char_class.h"

namespace quillet {

namespace {

bool is_hex_digit(int c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool is_word_start(int c) { return c == '_' || crt::is_alpha(c); }
bool is_word_byte(int c) { return c == '_' || crt::is_alnum(c); }

struct keyword {
  std::string_view word;
  int code;
};

constexpr std::array<keyword, 14> keywords{{
    {"and", tok_and}, {"break", tok_break}, {"continue", tok_continue}, {"do", tok_do},
    {"else", tok_else}, {"for", tok_for}, {"if", tok_if}, {"not", tok_not},
    {"or", tok_or}, {"return", tok_return}, {"then", tok_then}, {"to", tok_to},
    {"var", tok_var}, {"while", tok_while},
}};

}  // namespace

int txl_keyword_code(std::string_view word) {
  for (const keyword& k : keywords)
    if (k.word == word)
      return k.code;
  return tok_identifier;
}

txl_lexer::txl_lexer(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

int txl_lexer::byte(std::int32_t at) const {
  if (at < 0 || static_cast<std::size_t>(at) >= text_.size())
    return -1;
  return static_cast<unsigned char>(text_[at]);
}

// Offset of the first byte that is neither a blank nor inside a comment. An unclosed block
// comment runs to the end of the text.
std::int32_t txl_lexer::skip_blanks(std::int32_t from) const {
  std::int32_t p = from;
  for (;;) {
    int c = byte(p);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++p;
      continue;
    }
    if (c != '/')
      return p;
    if (byte(p + 1) == '/') {
      while (byte(p) != -1 && byte(p) != '\n')
        ++p;
      continue;
    }
    if (byte(p + 1) != '*')
      return p;
    p += 2;
    while (byte(p) != -1 && !(byte(p) == '*' && byte(p + 1) == '/'))
      ++p;
    if (byte(p) != -1)
      p += 2;
  }
}

txl_token txl_lexer::next() {
  std::int32_t start = skip_blanks(pos_);
  txl_token t;
  int c = byte(start);
  if (c == -1) {
    t.start = t.end = start;
  } else if (crt::is_digit(c) || (c == '.' && crt::is_digit(byte(start + 1)))) {
    t = scan_number(start);
  } else if (c == '"' || c == '\'') {
    t = scan_string(start);
  } else if (is_word_start(c)) {
    t = scan_word(start);
  } else {
    t = scan_operator(start);
  }
  pos_ = t.end;
  return t;
}

// A malformed literal: the token swallows the rest of the number-like run so that the
// parser sees one undefined token in its place.
txl_token txl_lexer::malformed(std::int32_t start, int error) {
  std::int32_t p = start;
  while (is_word_byte(byte(p)) || byte(p) == '.')
    ++p;
  txl_token t;
  t.code = tok_undefined;
  t.start = start;
  t.end = p > start ? p : start + 1;
  t.error = error;
  return t;
}

// Decimal digits with at most one ".", then an optional exponent "e" or "E" with an optional
// "-" and at least one digit; a letter or "." right after it makes it malformed.
txl_token txl_lexer::scan_number(std::int32_t start) {
  if (byte(start) == '0' && (byte(start + 1) == 'x' || byte(start + 1) == 'X'))
    return scan_hex_number(start);
  std::int32_t p = start;
  bool is_float = false;
  while (crt::is_digit(byte(p)) || byte(p) == '.') {
    if (byte(p) == '.' && is_float)
      return malformed(start, txl_err_bad_number);
    is_float = is_float || byte(p) == '.';
    ++p;
  }
  if (byte(p) == 'e' || byte(p) == 'E') {
    is_float = true;
    p += byte(p + 1) == '-' ? 2 : 1;
    if (!crt::is_digit(byte(p)))
      return malformed(start, txl_err_bad_number);
    while (crt::is_digit(byte(p)))
      ++p;
  }
  if (crt::is_alpha(byte(p)) || byte(p) == '.')
    return malformed(start, txl_err_bad_number);
  txl_token t;
  std::string_view digits = text_.substr(start, p - start);
  t.code = is_float ? tok_float : tok_integer;
  t.value = is_float ? anyval::from_float(txl_float_literal(digits))
                     : anyval::from_int(txl_integer_literal(digits));
  t.start = start;
  t.end = p;
  return t;
}

// "0x" or "0X" and one or more hexadecimal digits, not followed by a letter.
txl_token txl_lexer::scan_hex_number(std::int32_t start) {
  std::int32_t p = start + 2;
  if (!is_hex_digit(byte(p)))
    return malformed(start, txl_err_bad_number);
  while (is_hex_digit(byte(p)))
    ++p;
  if (crt::is_alpha(byte(p)))
    return malformed(start, txl_err_bad_number);
  txl_token t;
  t.code = tok_integer;
  t.value = anyval::from_int(txl_integer_literal(text_.substr(start, p - start)));
  t.start = start;
  t.end = p;
  return t;
}

// Text between matching quotes; a backslash escapes the next byte. A control byte inside, a
// backslash at the very end or a missing closing quote makes the literal malformed; the
// malformed token still ends at the closing quote when there is one.
txl_token txl_lexer::scan_string(std::int32_t start) {
  int quote = byte(start);
  std::int32_t p = start + 1;
  bool bad = false;
  for (;;) {
    int c = byte(p);
    if (c == -1) {
      bad = true;
      break;
    }
    if (c == quote)
      break;
    if (c == '\\') {
      c = byte(++p);
      if (c == -1) {
        bad = true;
        break;
      }
    }
    bad = bad || c < 0x20;
    ++p;
  }
  txl_token t;
  t.start = start;
  t.end = byte(p) == -1 ? p : p + 1;
  if (bad) {
    t.code = tok_undefined;
    t.error = txl_err_bad_string;
    return t;
  }
  t.code = tok_string;
  t.value = anyval::from_string(txl_string_literal(text_.substr(start + 1, p - start - 1)));
  return t;
}

// An identifier or keyword; an identifier's value is its name.
txl_token txl_lexer::scan_word(std::int32_t start) {
  std::int32_t p = start + 1;
  while (is_word_byte(byte(p)))
    ++p;
  std::string_view word = text_.substr(start, p - start);
  txl_token t;
  t.code = txl_keyword_code(word);
  if (t.code == tok_identifier)
    t.value = anyval::from_string(word);
  t.start = start;
  t.end = p;
  return t;
}

// Two-byte operators first, then the one-byte ones with codes of their own; any other byte
// is its own token code.
txl_token txl_lexer::scan_operator(std::int32_t start) {
  struct pair_op {
    char first, second;
    int code;
  };
  static constexpr std::array<pair_op, 6> pairs{{
      {'=', '=', tok_eq}, {'!', '=', tok_ne}, {'<', '=', tok_le},
      {'>', '=', tok_ge}, {'<', '<', tok_shl}, {'>', '>', tok_shr},
  }};
  int c = byte(start);
  int d = byte(start + 1);
  txl_token t;
  t.start = start;
  t.end = start + 1;
  if (c != '=' && c != '!' && c != '<' && c != '>') {
    t.code = c == '~' ? tok_inv : c;
    return t;
  }
  for (const pair_op& op : pairs) {
    if (c == static_cast<unsigned char>(op.first) && d == static_cast<unsigned char>(op.second)) {
      t.code = op.code;
      t.end = start + 2;
      return t;
    }
  }
  t.code = c == '=' ? tok_assign : c == '<' ? tok_lt : c == '>' ? tok_gt : c;
  return t;
}

}  // namespace quillet
