// The per-thread loop iteration budget.
#include "txl/loop_budget.h"

namespace quillet {

namespace {
// Iterations left on this thread; negative while no budget is in scope.
thread_local std::int64_t iterations_left = -1;
// Iterations refused on this thread, ever.
thread_local std::uint64_t refusals = 0;
}  // namespace

txl_loop_budget::txl_loop_budget(std::int64_t iterations) : saved_(iterations_left), refusals_before_(refusals) {
  iterations_left = iterations < 0 ? 0 : iterations;
}

txl_loop_budget::~txl_loop_budget() { iterations_left = saved_; }

bool txl_loop_budget::spent() const { return refusals != refusals_before_; }

bool txl_loop_budget_in_scope() { return iterations_left >= 0; }

// True while no budget is in scope or some of it is left (using one iteration).
bool txl_count_loop_iteration(std::string& error) {
  if (iterations_left < 0)
    return true;
  if (iterations_left == 0) {
    ++refusals;
    error = "#LOOP#";
    return false;
  }
  --iterations_left;
  return true;
}

}  // namespace quillet
