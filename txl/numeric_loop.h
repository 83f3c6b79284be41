// Numeric loops: a "for" or "while" loop whose whole tree is arithmetic, comparisons, "and",
// "or", "if", sequences, nested loops, "break", "continue", numeric constants and plain
// variables holding numbers is translated once into a short register program and run by a
// small interpreter, instead of walking the tree with its result cache at every step.
//
// Nothing inside such a loop can see the cache (no function calls, no indexing, no
// "return"), so running the program is indistinguishable from evaluating the tree: every
// variable ends with the value and kind the tree would leave, failures give the same marker
// ("#NVAL#", "#LOOP#"), every variable the loop changed is reported through
// variable_changed, and the loop's own nodes are left invalid so that the next evaluation
// recomputes them. Any other loop, or one entered while a variable it uses holds something
// other than a number, is evaluated as a tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "txl/expr.h"
#include "txl/function_entry.h"

namespace quillet {

class txl_expr;
class txl_expr_for;
class txl_expr_localvar;
class txl_expr_root;

enum class numeric_loop_outcome { unsuitable, finished, failed };

// The comparisons, in the order of their instructions below.
enum class nl_cmp : std::uint8_t { eq, ne, gt, ge, lt, le };

// The instructions. Registers hold an integer, a float or nothing; arithmetic takes and
// gives them with the typing rules of the tree's operators. The interpreter's table of
// handlers follows this order.
enum class nl_op : std::uint8_t {
  add, sub, mul, div,                  // float results
  rem, band, bor, bxor, shl, shr,      // integer results from integer conversions
  cmp_eq, cmp_ne, cmp_gt, cmp_ge, cmp_lt, cmp_le,  // integer 1 or 0
  neg, inv, lnot, truth,               // one operand
  copy,                                // dst = a
  set_int,                             // dst = integer `a`
  check,                               // fails with "#NVAL#" when register a is empty
  jump,                                // to target
  jump_false, jump_true,               // on the truth of register a
  // When the comparison of a and b holds, and when it does not.
  jump_if_eq, jump_if_ne, jump_if_gt, jump_if_ge, jump_if_lt, jump_if_le,
  jump_unless_eq, jump_unless_ne, jump_unless_gt, jump_unless_ge, jump_unless_lt, jump_unless_le,
  jump_break,                          // "break" or "continue": to target, noting the jump
  count,                               // one loop iteration against the loop budget
  // dst = program.forms[b] applied to a, also handed to the call node program.calls[target]
  math,
  leaf,                                // dst = the number program.leaves[b] evaluates to
  add_ff, sub_ff, mul_ff, div_ff,      // add to div of two registers known to hold floats
  math_f,                              // math of a register known to hold a float
  floor_f, ceil_f, abs_f,              // math_f of the forms known to be FLOOR, CEIL and ABS
  // Two instructions in one, where the first one's result was read only by the second. The
  // same operations in the same order, so the same floats: floor_f of a div_ff (target: the
  // call), and a product of a and b that register `target` is subtracted from or subtracted
  // from it (mul_sub: a * b - c, sub_mul: c - a * b). A sum with a product stays two
  // instructions: of two NaNs a sum keeps whichever one its compiled code happens to put
  // first, and the tree's sum and a fused one need not agree; a difference's order is fixed.
  div_floor_ff,
  mul_sub, sub_mul,
  mul_sub_ff, sub_mul_ff,  // the same of registers known to hold floats
  end,
};

// The instruction of a comparison family (cmp_eq, jump_if_eq or jump_unless_eq) for `c`.
inline nl_op nl_compare_op(nl_op family, nl_cmp c) {
  return static_cast<nl_op>(static_cast<int>(family) + static_cast<int>(c));
}

// Fields naming registers (dst, and a and b where the instruction reads registers there)
// hold the register's byte offset in the register array, index times sizeof(nl_reg), so that
// the interpreter reaches it without scaling; the builder numbers registers by index and
// turns them into offsets when the program is complete.
struct nl_insn {
  nl_op op;
  std::int32_t dst = 0;
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t target = 0;
};

// kind: 0 nothing, 1 integer, 2 float. `written` notes a store during the run.
struct nl_reg {
  double f = 0.0;
  std::int32_t i = 0;
  std::uint8_t kind = 0;
  std::uint8_t written = 0;
};

// A translated loop. Registers 0 to vars.size() - 1 are the variables, then constants and
// the nodes' results.
struct nl_program {
  std::vector<nl_insn> code;
  std::vector<nl_reg> initial;
  std::vector<txl_expr_localvar*> vars;
  // Per variable: whether it was empty when the program was built, so that its reads are
  // checked.
  std::vector<bool> checked;
  // Per variable: a change must be reported through variable_changed after a run. Not for
  // a variable of a body whose every reader and assigner is a node of the program: those
  // are left invalid anyway, and so is everything above them up to the body's root.
  std::vector<bool> reported;
  // The variables a run loads when it starts: those the code may read before it sets them.
  // Each other one (`unloaded`) is set on every way before its first read: a run only makes
  // sure it holds a number or nothing, as for any variable the program uses.
  std::vector<std::int32_t> loads;
  std::vector<std::int32_t> unloaded;
  // Whether some variable's change must be reported (see reported).
  bool any_reported = false;
  // Every node of the loop's tree that is not a constant, to be left invalid after a run.
  std::vector<txl_expr*> nodes;
  int depth = 0;         // nesting of the translated tree
  bool counting = false; // built with a loop budget in scope

  // Programs of whole bodies (build_numeric_body) also take numbers from outside and hand
  // results back:
  struct node_register {
    txl_expr* node;
    int reg;
    // Leaves only: evaluated where the tree would evaluate it (see txl_numeric_body), at
    // this nesting below the body; otherwise read when the program starts.
    bool in_place = false;
    int levels = 0;
  };
  struct element_register {
    txl_expr_localvar* storage;
    std::int32_t index;
    int reg;
  };
  // Nodes the program does not run but takes as they stand. One that comes before any
  // assignment is evaluated in its place (by the tree, when it is not valid); any other must
  // be valid with a number when the program starts, which the tree would reuse as it stands.
  std::vector<node_register> leaves;
  // The indexes in `leaves` of those not evaluated in place, loaded when the program starts.
  std::vector<std::int32_t> taken;
  // `x[c]` of a variable the program never changes, read when the program starts.
  std::vector<element_register> elements;
  // The variables of `elements` whose every reader is a node of the program.
  std::vector<const txl_expr_localvar*> closed_inputs;
  // Math calls worked out in registers. A call node that holds no result is given the one
  // made, so that it holds one as the tree would leave it; the node stays invalid, so its
  // number is never read, and it is not written again.
  std::vector<node_register> calls;
  std::vector<const txl_number_form*> forms;
  int result = -1;  // the register of the body's value
};

// What a loop node keeps between evaluations: its program, or the finding that it has none,
// for the tree shape they were worked out under.
class txl_numeric_loop {
public:
  // Runs the loop as a program when it qualifies. `finished`: the loop ran to its end (the
  // caller stores its result, integer 0; `stays_valid` says whether the tree would have left
  // the loop valid); `failed`: error holds the marker; `unsuitable`: evaluate the tree.
  numeric_loop_outcome run(txl_expr_for& loop, bool& stays_valid, std::string& error);

private:
  bool prepare(txl_expr_for& loop, bool counting);
  std::unique_ptr<nl_program> program_;
  std::vector<nl_reg> regs_;
  const nl_program* regs_for_ = nullptr;  // the program regs_ were laid out for
  std::uint64_t shape_ = 0;  // tree shape the program (or its absence) belongs to
  bool known_ = false;
  bool suitable_ = false;
};

// Translates the loop into a program; null when some node of its tree does not qualify.
// Reads of the variables empty now, and of `empty_vars`, are checked by the program.
std::unique_ptr<nl_program> build_numeric_loop(txl_expr_for& loop, bool counting,
                                               const std::vector<const txl_expr_localvar*>& empty_vars);

// What a run met besides its end or a failure: a "break" or "continue" that ran, and a leaf
// evaluated in place that gave something other than a number, which ends the run unfinished
// (`stopped`). `evaluated` lists the leaves evaluated in place, in order.
struct nl_run_notes {
  bool jumped = false;
  bool stopped = false;
  std::vector<txl_expr*> evaluated;
};

// Runs a program over registers prepared from `initial` with the variables loaded; false
// with the marker in `error` on failure or when stopped.
bool execute_numeric_loop(const nl_program& program, nl_reg* regs, nl_run_notes& notes, std::string& error);

// Translates a user function's body into a program when it is made only of what numeric
// loops allow plus math calls of one number, `x[c]` reads of variables it never changes,
// and other nodes it can take as they stand (see txl_numeric_body); null otherwise.
std::unique_ptr<nl_program> build_numeric_body(txl_expr& body, bool counting,
                                               const std::vector<const txl_expr_localvar*>& empty_vars);

// What a user function keeps for running its body as a program: a body that does only
// arithmetic on numbers between the calls it makes. Calls reached before any assignment are
// evaluated in their place, as the tree would; one giving something other than a number
// hands the body to the tree, which can redo what came before. Any other call must hold a
// current number when the run starts (a valid node, which the tree would not evaluate
// either). The run leaves what the tree would: the variables, the math calls' results, the
// root's result, every changed variable reported; its own nodes are left invalid.
class txl_numeric_body {
public:
  // `finished`: the root holds the body's value and is valid; `failed`: error holds the
  // marker; `unsuitable`: evaluate the tree.
  inline numeric_loop_outcome run(txl_expr_root& root, std::string& error);  // numeric_body_run.h
  // True, with nothing else done, when the body is known to be no program: most bodies a
  // report evaluates are not, and the caller evaluates the tree at once.
  bool turned_away() {
    if (!known_ || suitable_ || shape_ != txl_tree_shape())
      return false;
    nodes_invalid_ = false;
    return true;
  }

  // True when a change of `input` could invalidate nothing but the body's root: the body's
  // last evaluation was a run of the program it has now, which left every node of the
  // program invalid, and every reader of the variable is one of them. A caller that changes
  // ARGS for every call then only clears the root's flag instead of walking up from each
  // reader.
  bool readers_left_invalid(const txl_expr_localvar& input) const {
    if (!nodes_invalid_ || !program_ || program_->code.data() != last_code_ || shape_ != txl_tree_shape())
      return false;
    for (const txl_expr_localvar* s : program_->closed_inputs)
      if (s == &input)
        return true;
    return false;
  }

private:
  bool prepare(txl_expr& body, bool counting);
  bool rebuild_checked(txl_expr& body);
  inline numeric_loop_outcome run_program(txl_expr_root& root, std::string& error);  // numeric_body_run.h
  std::unique_ptr<nl_program> program_;
  std::vector<nl_reg> regs_;
  const nl_program* regs_for_ = nullptr;  // the program regs_ were laid out for
  nl_run_notes notes_;
  // The program's nodes are all invalid still: the last evaluation of the body was a run
  // of the program whose code starts at last_code_, and no tree has evaluated it since.
  bool nodes_invalid_ = false;
  const nl_insn* last_code_ = nullptr;
  bool running_ = false;
  std::uint64_t shape_ = 0;
  bool known_ = false;
  bool suitable_ = false;
};

// Off only in tests that compare the programs with tree evaluation; the second only in
// tests of loop programs, which bodies' programs would otherwise include.
inline thread_local bool txl_numeric_loops_enabled = true;
inline thread_local bool txl_numeric_bodies_enabled = true;
// Programs run on this thread so far, for tests and diagnostics.
inline thread_local std::uint64_t txl_numeric_loop_runs = 0;
inline thread_local std::uint64_t txl_numeric_body_runs = 0;

}  // namespace quillet
