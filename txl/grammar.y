/* The grammar of the expression language. The semantic value of every symbol is a node
   index of the compiler's node table (for a keyword or operator token: its byte offset);
   each action is one call of the compiler, which builds the parse nodes. A call that
   records an error returns -1 and KEEP stops the parse. */

%code requires {
namespace quillet { class txl_compiler; }
}

%code provides {
int txl_yyparse(quillet::txl_compiler& c);
}

%code top {
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
}

%code {
#include "txl/compiler.h"

namespace {
int txl_yylex(TXL_YYSTYPE* value, quillet::txl_compiler& c) { return c.next_token(*value); }
void txl_yyerror(quillet::txl_compiler& c, const char*) { c.syntax_error(); }
}  // namespace

#define KEEP(index) do { if ((index) < 0) YYABORT; } while (0)
}

%define api.pure full
%define api.prefix {txl_yy}
%define api.token.prefix {TOK_}
%define api.value.type {int}
%parse-param {quillet::txl_compiler& c}
%lex-param {quillet::txl_compiler& c}
%expect 0

/* Named tokens in the order of their codes, 258 and up. */
%token IDENT INTEGER FLOAT STRING AND OR EQ NE LT LE GT GE ASSIGN NOT INV SHL SHR
%token IF THEN ELSE RETURN WHILE DO FOR TO RESERVED BREAK CONTINUE VAR

/* Loosest to tightest; an "else" belongs to the nearest "if". */
%precedence THEN
%precedence ELSE
%left OR
%left AND
%nonassoc EQ NE LT LE GT GE
%left '+' '-'
%left '*' '/' '%'
%left '&' '|' '^'
%nonassoc SHL SHR

%%

start: program                          { c.set_root($1); }
  ;

program: expression
  | statement_list
  ;

statement_list: statement               { KEEP($$ = c.make_list($1)); }
  | statement_list statement            { KEEP($$ = c.append($1, $2)); }
  ;

statement: statement_body ';'           { KEEP($$ = c.end_statement($1, $2)); }
  | statement_body error                { KEEP($$ = c.specific_error(quillet::txl_err_semicolon)); }
  | ';'                                 { $$ = quillet::txl_no_node; }
  ;

statement_body: expression
  | return_statement
  | while_statement
  | for_statement
  | break_statement
  | continue_statement
  | assignment
  | declaration
  ;

return_statement: RETURN expression     { KEEP($$ = c.make_return($1, $2)); }
  | RETURN error                        { KEEP($$ = c.specific_error(quillet::txl_err_expression)); }
  ;

while_statement: WHILE expression DO    { KEEP(c.make_while($1, $2)); }
    statement_body                      { KEEP($$ = c.attach_loop_body($5)); }
  | WHILE expression error              { KEEP($$ = c.specific_error(quillet::txl_err_do)); }
  ;

for_statement: FOR variable_target ASSIGN expression TO expression DO
                                        { KEEP(c.make_for($1, $2, $4, $6)); }
    statement_body                      { KEEP($$ = c.attach_loop_body($9)); }
  | FOR variable_target ASSIGN expression TO expression error
                                        { KEEP($$ = c.specific_error(quillet::txl_err_do)); }
  | FOR variable_target ASSIGN expression error
                                        { KEEP($$ = c.specific_error(quillet::txl_err_to)); }
  | FOR error                           { KEEP($$ = c.specific_error(quillet::txl_err_variable_name)); }
  ;

break_statement: BREAK                  { KEEP($$ = c.make_jump(quillet::txl_op_break, $1)); }
  ;

continue_statement: CONTINUE            { KEEP($$ = c.make_jump(quillet::txl_op_continue, $1)); }
  ;

assignment: variable_target ASSIGN expression
                                        { KEEP($$ = c.make_op(quillet::txl_op_assign, $1, $3)); }
  ;

declaration: declared_variable
  | declared_variable ASSIGN expression { KEEP($$ = c.make_op(quillet::txl_op_assign, $1, $3)); }
  | declared_variable ASSIGN error      { $$ = $1; }
  ;

declared_variable: VAR variable_name    { KEEP($$ = c.declare($1, $2)); }
  ;

expression: conditional
  ;

conditional: operand
  | IF operand THEN statement_body      { KEEP($$ = c.make_if($1, $2, $4, -1)); }
  | IF operand THEN statement_body ELSE statement_body
                                        { KEEP($$ = c.make_if($1, $2, $4, $6)); }
  | IF operand error                    { KEEP($$ = c.specific_error(quillet::txl_err_then)); }
  ;

operand: unary
  | operand OR operand                  { KEEP($$ = c.make_op(quillet::txl_op_lor, $1, $3)); }
  | operand AND operand                 { KEEP($$ = c.make_op(quillet::txl_op_land, $1, $3)); }
  | operand EQ operand                  { KEEP($$ = c.make_op(quillet::txl_op_eq, $1, $3)); }
  | operand NE operand                  { KEEP($$ = c.make_op(quillet::txl_op_ne, $1, $3)); }
  | operand LT operand                  { KEEP($$ = c.make_op(quillet::txl_op_lt, $1, $3)); }
  | operand LE operand                  { KEEP($$ = c.make_op(quillet::txl_op_le, $1, $3)); }
  | operand GT operand                  { KEEP($$ = c.make_op(quillet::txl_op_gt, $1, $3)); }
  | operand GE operand                  { KEEP($$ = c.make_op(quillet::txl_op_ge, $1, $3)); }
  | operand '+' operand                 { KEEP($$ = c.make_op(quillet::txl_op_add, $1, $3)); }
  | operand '-' operand                 { KEEP($$ = c.make_op(quillet::txl_op_sub, $1, $3)); }
  | operand '*' operand                 { KEEP($$ = c.make_op(quillet::txl_op_mul, $1, $3)); }
  | operand '/' operand                 { KEEP($$ = c.make_op(quillet::txl_op_div, $1, $3)); }
  | operand '%' operand                 { KEEP($$ = c.make_op(quillet::txl_op_rem, $1, $3)); }
  | operand '&' operand                 { KEEP($$ = c.make_op(quillet::txl_op_and, $1, $3)); }
  | operand '|' operand                 { KEEP($$ = c.make_op(quillet::txl_op_or, $1, $3)); }
  | operand '^' operand                 { KEEP($$ = c.make_op(quillet::txl_op_xor, $1, $3)); }
  | operand SHL operand                 { KEEP($$ = c.make_op(quillet::txl_op_shl, $1, $3)); }
  | operand SHR operand                 { KEEP($$ = c.make_op(quillet::txl_op_shr, $1, $3)); }
  ;

unary: primary
  | '-' primary                         { KEEP($$ = c.make_unary(quillet::txl_op_neg, $1, $2)); }
  | '+' primary                         { KEEP($$ = c.make_unary(quillet::txl_op_plus, $1, $2)); }
  | NOT primary                         { KEEP($$ = c.make_unary(quillet::txl_op_lnot, $1, $2)); }
  | INV primary                         { KEEP($$ = c.make_unary(quillet::txl_op_inv, $1, $2)); }
  ;

primary: literal
  | function_call
  | reference
  | '('                                 { c.open_scope(); }
    program ')'                         { KEEP($$ = c.parenthesised($1, $3, $4)); }
  ;

function_call: IDENT argument_list      { KEEP($$ = c.make_call($1, $2)); }
  ;

reference: user_call
  | user_call '[' expression ']'        { KEEP($$ = c.make_index($1, $3, $4)); }
  | variable_target
  ;

user_call: user_function_name           { KEEP($$ = c.make_user_call($1, -1)); }
  | user_function_name argument_list    { KEEP($$ = c.make_user_call($1, $2)); }
  ;

user_function_name: '@' IDENT           { KEEP($$ = c.user_function_name($1, $2)); }
  | '@' STRING                          { KEEP($$ = c.user_function_name($1, $2)); }
  ;

variable_target: variable_name          { KEEP($$ = c.reference($1)); }
  | variable_name '[' expression ']'    { KEEP($$ = c.reference_indexed($1, $3, $4)); }
  ;

variable_name: IDENT
  ;

argument_list: '(' ')'                  { KEEP($$ = c.make_arguments($1, -1, $2)); }
  | '(' arguments ')'                   { KEEP($$ = c.make_arguments($1, $2, $3)); }
  ;

arguments: expression                   { KEEP($$ = c.make_list($1)); }
  | arguments ',' expression            { KEEP($$ = c.append($1, $3)); }
  ;

literal: INTEGER
  | FLOAT
  | STRING
  ;

%%

namespace quillet {

// The parser's token codes are the tokenizer's, name by name.
constexpr int token_pairs[][2] = {
    {TOK_TXL_YYUNDEF, tok_undefined}, {TOK_IDENT, tok_identifier}, {TOK_INTEGER, tok_integer},
    {TOK_FLOAT, tok_float}, {TOK_STRING, tok_string}, {TOK_AND, tok_and}, {TOK_OR, tok_or},
    {TOK_EQ, tok_eq}, {TOK_NE, tok_ne}, {TOK_LT, tok_lt}, {TOK_LE, tok_le}, {TOK_GT, tok_gt},
    {TOK_GE, tok_ge}, {TOK_ASSIGN, tok_assign}, {TOK_NOT, tok_not}, {TOK_INV, tok_inv},
    {TOK_SHL, tok_shl}, {TOK_SHR, tok_shr}, {TOK_IF, tok_if}, {TOK_THEN, tok_then},
    {TOK_ELSE, tok_else}, {TOK_RETURN, tok_return}, {TOK_WHILE, tok_while}, {TOK_DO, tok_do},
    {TOK_FOR, tok_for}, {TOK_TO, tok_to}, {TOK_RESERVED, tok_reserved}, {TOK_BREAK, tok_break},
    {TOK_CONTINUE, tok_continue}, {TOK_VAR, tok_var},
};

constexpr bool same_token_codes() {
  for (const auto& pair : token_pairs)
    if (pair[0] != pair[1])
      return false;
  return true;
}
static_assert(same_token_codes(), "grammar tokens must be declared in the tokenizer's order");

}  // namespace quillet
