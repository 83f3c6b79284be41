// Compilation of one expression text: state reset, tokens for the parser, error records,
// scopes, and the hand-over to translation.
#include "txl/compiler.h"

#include <algorithm>
#include <limits>

#include "txl/user_function.h"

int txl_yyparse(quillet::txl_compiler& c);

namespace quillet {

txl_compiler::txl_compiler() = default;
txl_compiler::~txl_compiler() { reset(); }

void txl_compiler::reset() {
  release_tree();
  innermost_loop_ = -1;
  token_start_ = 0;
  syntax_error_open_ = false;
  error_ = txl_compile_error{};
  lexer_ = txl_lexer(std::string_view());
}

// Lets go of the parse nodes and variables; the evaluation tree keeps what it needs.
void txl_compiler::release_tree() {
  root_ = nullptr;
  scopes_.clear();
  vars_.clear();
  nodes_.clear();
}

// Parses the text (after ARGS is defined outside every scope) and, with a target, translates
// the tree into it. Any recorded error fails the compilation, even one the parser recovered
// from. A text too long for 32-bit offsets is refused as a syntax error.
int txl_compiler::compile(const char* text, std::size_t length, txl_user_function* target) {
  reset();
  if (length >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    error_ = {txl_err_syntax, 1, 0, {}};
    return -1;
  }
  lexer_ = txl_lexer(std::string_view(text ? text : "", text ? length : 0));
  vars_.define(make_rc<txl_local_var>(nullptr, "ARGS", txl_var_args));
  open_scope();
  int parsed = txl_yyparse(*this);
  if (parsed != 0 && error_.code == txl_err_none)
    record_error(txl_err_syntax, token_start_);
  if (error_.code != txl_err_none) {
    root_ = nullptr;
    return -1;
  }
  close_scope();
  if (!target)
    return 0;
  bool translated = translate(*target);
  release_tree();
  return translated ? 0 : -1;
}

// Hands the parser the next token. Literals and identifiers become constant nodes whose
// index is the token's value; any other token's value is its byte offset.
int txl_compiler::next_token(int& value) {
  txl_token t = lexer_.next();
  token_start_ = t.start;
  value = t.start;
  if (t.error != 0) {
    record_error(t.error, t.start);
    return tok_undefined;
  }
  if (t.code != tok_identifier && t.code != tok_integer && t.code != tok_float && t.code != tok_string)
    return t.code;
  auto constant = make_rc<txl_node_const>(std::move(t.value));
  constant->extend_span(t.start, t.end - 1);
  value = add_node(std::move(constant));
  return t.code;
}

// The parser met a token it cannot accept. Only the first such error is recorded; an error
// form reached while recovering from it may still make it more specific.
void txl_compiler::syntax_error() {
  syntax_error_open_ = error_.code == txl_err_none;
  record_error(txl_err_syntax, token_start_);
}

// An error form of the grammar was reached: its more specific code replaces the syntax error
// just recorded, keeping its place. Always stops the parse.
int txl_compiler::specific_error(std::int32_t code) {
  if (error_.code == txl_err_syntax && syntax_error_open_)
    error_.code = code;
  return -1;
}

// The first error wins. The line is the number of line feeds before the offset, plus one.
void txl_compiler::record_error(std::int32_t code, std::int32_t offset, std::string name) {
  if (error_.code != txl_err_none)
    return;
  std::string_view text = lexer_.text();
  std::size_t end = std::min(static_cast<std::size_t>(std::max(offset, 0)), text.size());
  error_.code = code;
  error_.offset = offset;
  error_.line = 1 + static_cast<std::int32_t>(std::count(text.begin(), text.begin() + end, '\n'));
  error_.name = std::move(name);
}

void txl_compiler::open_scope() {
  scopes_.push_back(make_rc<txl_var_context>(vars_.size()));
}

// Forgets the variables of the innermost scope; the nodes that name them keep them alive.
void txl_compiler::close_scope() {
  if (scopes_.empty())
    return;
  vars_.truncate(scopes_.back()->first_var);
  scopes_.pop_back();
}

int txl_compiler::add_node(rc_ptr<txl_node> node) {
  nodes_.push_back(std::move(node));
  return static_cast<int>(nodes_.size() - 1);
}

txl_node* txl_compiler::node(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size())
    return nullptr;
  return nodes_[index].get();
}

rc_ptr<txl_node> txl_compiler::node_ref(int index) const { return rc_ptr<txl_node>(node(index)); }

// Adds a node unless it nests deeper than any tree may; that is a syntax error at the
// current token.
int txl_compiler::add_checked(rc_ptr<txl_node> node) {
  if (node->height > txl_max_tree_height) {
    record_error(txl_err_syntax, token_start_);
    return -1;
  }
  return add_node(std::move(node));
}

}  // namespace quillet
