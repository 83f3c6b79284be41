// The compiler front end of the expression language: txl_compiler tokenizes and parses an
// expression text into parse nodes, resolving variables through scopes, and translates the
// tree into the body of a txl_user_function. One compiler serves one compilation at a time;
// the parse nodes of a compilation without a target live until the next compile or reset.
//
// Use: `txl_compiler c; if (c.compile(text, &fn) != 0) show(txl_compile_message(c.error()));`
// On success fn.body holds a new txl_expr_root and fn.call_sites every call node of the body
// in translation order (unbound). Without a target only the parse tree is built (root()).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "txl/lexer.h"
#include "txl/parse_node.h"
#include "txl/var_scope.h"

namespace quillet {

class txl_user_function;
class txl_expr_fncall;

enum txl_compile_code : std::int32_t {
  txl_err_none = 0,
  // 1 and 2 (malformed number and string literal) come from the tokenizer, lexer.h.
  txl_err_syntax = 3,
  txl_err_semicolon = 4,
  txl_err_expression = 5,
  txl_err_then = 6,
  txl_err_do = 7,
  txl_err_to = 8,
  txl_err_variable_name = 9,
  txl_err_redefined = 10,
  txl_err_undefined = 11,
  txl_err_no_loop = 12,
};

struct txl_compile_error {
  std::int32_t code = txl_err_none;
  std::int32_t line = 0;    // 1 for the first line
  std::int32_t offset = 0;  // byte offset from the start of the text
  std::string name;         // the variable a message names, else empty
};

// The message shown for a compile error, e.g. "Line 2: ';' expected"; codes outside 1..12
// get the text of code 1.
std::string txl_compile_message(const txl_compile_error& error);

// Deepest parse tree the compiler builds; deeper nesting (also a long chain of operators,
// which nests to the left) is a syntax error, so that nothing that walks a tree recursively
// can exhaust the machine stack.
inline constexpr std::int32_t txl_max_tree_height = 4000;

// The value of a grammar symbol that stands for nothing (an empty statement).
inline constexpr int txl_no_node = -2;

class txl_compiler {
public:
  txl_compiler();
  ~txl_compiler();
  txl_compiler(const txl_compiler&) = delete;
  txl_compiler& operator=(const txl_compiler&) = delete;

  // Compiles the text; 0 on success, -1 on failure with error() filled. With a target the
  // tree is translated into the target's body and call sites.
  int compile(const char* text, std::size_t length, txl_user_function* target);
  int compile(std::string_view text, txl_user_function* target = nullptr) {
    return compile(text.data(), text.size(), target);
  }
  const txl_compile_error& error() const { return error_; }
  // The parse tree of the last successful compilation without a target, else null.
  txl_node* root() const { return root_; }
  // Releases the parse nodes and variables of the last compilation.
  void reset();

  // --- Used by the parser (grammar.y). Node-making calls return the new node's index, or
  // -1 after recording an error, whereupon the parser stops.
  int next_token(int& value);
  void syntax_error();
  int specific_error(std::int32_t code);
  void set_root(int program);
  int make_op(std::int32_t code, int left, int right);
  int make_unary(std::int32_t code, int op_offset, int operand);
  int make_return(int keyword, int value);
  int make_if(int keyword, int condition, int then_branch, int else_branch);
  int make_while(int keyword, int condition);
  int make_for(int keyword, int target, int start, int end);
  int attach_loop_body(int body);
  int make_jump(std::int32_t code, int keyword);
  int make_list(int first_item);
  int append(int list, int node);
  int end_statement(int body, int semicolon);
  int declare(int keyword, int name);
  int reference(int name);
  int reference_indexed(int name, int index, int close);
  int make_call(int name, int arguments);
  int make_user_call(int name, int arguments);
  int user_function_name(int at, int name);
  int make_index(int call, int index, int close);
  int make_arguments(int open, int list, int close);
  void open_scope();
  int parenthesised(int open, int program, int close);

private:
  int add_node(rc_ptr<txl_node> node);
  txl_node* node(int index) const;
  rc_ptr<txl_node> node_ref(int index) const;
  int add_checked(rc_ptr<txl_node> node);
  void record_error(std::int32_t code, std::int32_t offset, std::string name = {});
  void close_scope();
  void release_tree();
  int make_loop(std::int32_t code, int keyword);
  bool translate(txl_user_function& target);

  txl_lexer lexer_{std::string_view()};
  std::int32_t token_start_ = 0;
  bool syntax_error_open_ = false;  // the recorded syntax error may still become specific
  std::vector<rc_ptr<txl_node>> nodes_;
  txl_node* root_ = nullptr;
  txl_var_table vars_;
  std::vector<rc_ptr<txl_var_context>> scopes_;
  int innermost_loop_ = -1;
  txl_compile_error error_;
};

}  // namespace quillet
