// An optional bound on the work that evaluations on one thread may do, for callers that must
// finish whatever a text says (report runs, `quillet eval`, the fuzzing harnesses). One count
// covers loop iterations ("while" and "for"), calls of user functions from expressions and
// lines read by READLIST, so that no mix of them can run for ever. Without a txl_loop_budget
// in scope nothing is counted.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

// What one unit of the budget was spent on.
enum class txl_work { loop_iteration, function_call, list_line };

// While alive, the evaluations on this thread may do `steps` units of work in all; the one
// after that fails with "#LOOP#". Scopes nest: the inner one replaces the outer one's count
// until it ends.
class txl_loop_budget {
public:
  explicit txl_loop_budget(std::int64_t steps);
  ~txl_loop_budget();
  txl_loop_budget(const txl_loop_budget&) = delete;
  txl_loop_budget& operator=(const txl_loop_budget&) = delete;

  // True once a step was refused while this budget was the one in scope.
  bool spent() const { return refusals_ != 0; }
  // What the first refused step was; meaningful once spent().
  txl_work spent_on() const { return spent_on_; }

  // Counts one step; false with "#LOOP#" in `error` when none is left.
  bool count(txl_work kind, std::string& error) {
    if (left_ > 0) {
      --left_;
      return true;
    }
    return refuse(kind, error);
  }

private:
  bool refuse(txl_work kind, std::string& error);

  std::int64_t left_;
  std::uint64_t refusals_ = 0;
  txl_work spent_on_ = txl_work::loop_iteration;
  txl_loop_budget* outer_;
};

// The budget in scope on this thread; null while there is none. Read inline: every call of a
// user function counts against it.
inline thread_local txl_loop_budget* txl_budget_in_scope = nullptr;

// True while a budget is in scope on this thread.
inline bool txl_loop_budget_in_scope() { return txl_budget_in_scope != nullptr; }

// Counts one unit of work against the budget in scope; false with "#LOOP#" in `error` once it
// is spent. True while no budget is in scope.
inline bool txl_count_work(txl_work kind, std::string& error) {
  return txl_budget_in_scope ? txl_budget_in_scope->count(kind, error) : true;
}

// Counts one loop iteration (see txl_count_work).
inline bool txl_count_loop_iteration(std::string& error) { return txl_count_work(txl_work::loop_iteration, error); }

// The words a message uses for what the budget was spent on: "loop iterations",
// "user-function calls" or "READLIST lines".
const char* txl_work_name(txl_work kind);

}  // namespace quillet
