// An optional bound on the loop iterations ("while" and "for") that evaluations on one thread
// may run, for callers that must finish whatever a text says (report runs, `quillet eval`,
// the fuzzing harnesses). Without a txl_loop_budget in scope loops are not counted.
#pragma once

#include <cstdint>
#include <string>

namespace quillet {

// While alive, the loops evaluated on this thread may run `iterations` iterations in all;
// the one after that fails with "#LOOP#". Scopes nest: the inner one replaces the outer one's
// count until it ends.
class txl_loop_budget {
public:
  explicit txl_loop_budget(std::int64_t iterations);
  ~txl_loop_budget();
  txl_loop_budget(const txl_loop_budget&) = delete;
  txl_loop_budget& operator=(const txl_loop_budget&) = delete;

  // True once an iteration was refused while this budget was the one in scope.
  bool spent() const;

private:
  std::int64_t saved_;
  std::uint64_t refusals_before_;
};

// True while a budget is in scope on this thread.
bool txl_loop_budget_in_scope();

// Counts one loop iteration; false with "#LOOP#" in `error` once the budget in scope is spent.
bool txl_count_loop_iteration(std::string& error);

}  // namespace quillet
