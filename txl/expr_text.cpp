// Expression text helpers for the editor.
#include "txl/expr_text.h"

#include <array>

#include "platform/crt/char_class.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet {

namespace {

bool is_keyword(std::string_view word) {
  static constexpr std::array<std::string_view, 14> keywords = {
      "and", "break", "continue", "do", "else", "for", "if",
      "not", "or", "return", "then", "to", "var", "while"};
  for (std::string_view k : keywords)
    if (k == word)
      return true;
  return false;
}

// True when the name reads back as the identifier after "@": letters, digits and "_", not
// starting with a digit, and not a keyword.
bool is_bare_name(std::string_view name) {
  if (name.empty() || crt::is_digit(static_cast<unsigned char>(name[0])))
    return false;
  for (char ch : name) {
    int c = static_cast<unsigned char>(ch);
    if (c != '_' && !crt::is_alnum(c))
      return false;
  }
  return !is_keyword(name);
}

// The body of a freshly compiled text with root nodes stepped through; null when the text
// does not compile.
rc_ptr<txl_expr> compiled_body(std::string_view text, rc_ptr<txl_user_function>& scratch) {
  scratch = make_rc<txl_user_function>();
  txl_compiler compiler;
  if (compiler.compile(text, scratch.get()) != 0 || !scratch->body)
    return {};
  txl_expr* e = scratch->body.get();
  while (e && dynamic_cast<txl_expr_root*>(e))
    e = e->child(0);
  return rc_ptr<txl_expr>(e);
}

}  // namespace

void write_user_function_ref(std::string_view name, std::string& out) {
  out += '@';
  if (is_bare_name(name)) {
    out.append(name);
    return;
  }
  out += '"';
  write_string_literal_body(name, out);
  out += '"';
}

bool wrap_for_embedding(std::string_view text, std::string& out) {
  rc_ptr<txl_user_function> scratch;
  rc_ptr<txl_expr> body = compiled_body(text, scratch);
  if (!body)
    return false;
  if (dynamic_cast<txl_expr_seq*>(body.get()))
    out = "( " + std::string(text) + " )";
  else
    out = std::string(text);
  return true;
}

bool constant_value(std::string_view text, anyval& value) {
  rc_ptr<txl_user_function> scratch;
  txl_expr* e = compiled_body(text, scratch).get();
  while (e && dynamic_cast<txl_expr_seq*>(e) && e->child_count() == 1)
    e = e->child(0);
  auto* constant = dynamic_cast<txl_expr_constant*>(e);
  if (!constant)
    return false;
  value = constant->result;
  return true;
}

}  // namespace quillet
