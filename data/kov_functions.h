// The function classes of the channel-function library, one per name. Each keeps the
// processor context it was made for; only TIME, GETVAL, EVENTS and the context functions
// IDX, ROW and COL remember something for their validity check.
#pragma once

#include <cstdint>

#include "data/kov_library.h"
#include "txl/stat_value.h"

namespace quillet {

class kov_txl_data_source;

#define KOV_FUNCTION_CLASS(NAME)                                                   \
  class kov_txl_function_##NAME : public kov_txl_function {                        \
  public:                                                                          \
    using kov_txl_function::kov_txl_function;                                      \
    bool evaluate(txl_call& call, std::span<const anyval> args) override;          \
  }

KOV_FUNCTION_CLASS(DEBUG);
KOV_FUNCTION_CLASS(READLIST);
KOV_FUNCTION_CLASS(CHAN);
KOV_FUNCTION_CLASS(NAME);
KOV_FUNCTION_CLASS(NODE);
KOV_FUNCTION_CLASS(OBJECT);
KOV_FUNCTION_CLASS(ATTR);
KOV_FUNCTION_CLASS(CHCODE);
KOV_FUNCTION_CLASS(CHUNIT);
KOV_FUNCTION_CLASS(READVAL);
KOV_FUNCTION_CLASS(LASTVAL);
KOV_FUNCTION_CLASS(SELCHAN);
KOV_FUNCTION_CLASS(EFILTER);
KOV_FUNCTION_CLASS(ETYPE);
KOV_FUNCTION_CLASS(SEVERITY);

#undef KOV_FUNCTION_CLASS

// A function whose result holds while the report time stays what it was at its last success.
class kov_time_bound_function : public kov_txl_function {
public:
  using kov_txl_function::kov_txl_function;
  bool is_valid(std::int32_t token) const override;

protected:
  void remember_time() { time_ = context().report_time(); }

private:
  std::uint32_t time_ = 0;
};

class kov_txl_function_TIME : public kov_time_bound_function {
public:
  using kov_time_bound_function::kov_time_bound_function;
  bool is_valid(std::int32_t token) const override;
  bool evaluate(txl_call& call, std::span<const anyval> args) override;

private:
  bool report_time_ = false;  // the last result was the report time
};

class kov_txl_function_GETVAL : public kov_time_bound_function {
public:
  using kov_time_bound_function::kov_time_bound_function;
  bool evaluate(txl_call& call, std::span<const anyval> args) override;
};

class kov_txl_function_EVENTS : public kov_time_bound_function {
public:
  using kov_time_bound_function::kov_time_bound_function;
  bool evaluate(txl_call& call, std::span<const anyval> args) override;
};

// RNSTAT and RTSTAT: statistics over an interval, samples counted or integrated over time.
class kov_txl_function_rxstat : public kov_txl_function {
public:
  using kov_txl_function::kov_txl_function;
  bool evaluate(txl_call& call, std::span<const anyval> args) override;
  // Asks the source for the statistics with this function's by-time flag.
  virtual bool fetch(kov_txl_data_source& source, std::span<const anyval> args, txl_stat_record& record) = 0;
};

class kov_txl_function_RNSTAT : public kov_txl_function_rxstat {
public:
  using kov_txl_function_rxstat::kov_txl_function_rxstat;
  bool fetch(kov_txl_data_source& source, std::span<const anyval> args, txl_stat_record& record) override;
};

class kov_txl_function_RTSTAT : public kov_txl_function_rxstat {
public:
  using kov_txl_function_rxstat::kov_txl_function_rxstat;
  bool fetch(kov_txl_data_source& source, std::span<const anyval> args, txl_stat_record& record) override;
};

// IDX, ROW and COL: the repeat index of an enclosing repeated element of their kind. The
// result holds while the stack's change counter stays the one reported with it: the counter
// names the stack's whole content, so every call site's result holds on its own, whatever
// other sites computed under other contents meanwhile.
class kov_context_function : public kov_txl_function {
public:
  kov_context_function(kov_processor_context* processor, int kind) : kov_txl_function(processor), kind_(kind) {
    takes_lent_result_ = true;
  }
  bool is_valid(std::int32_t token) const override;
  bool evaluate(txl_call& call, std::span<const anyval> args) override;

private:
  // The stack of the function's kind, found once: the processor's stacks never move.
  const kov_context_stack& stack() const { return stack_ ? *stack_ : find_stack(); }
  [[gnu::noinline]] const kov_context_stack& find_stack() const;

  int kind_;
  mutable const kov_context_stack* stack_ = nullptr;
};

class kov_txl_function_IDX : public kov_context_function {
public:
  explicit kov_txl_function_IDX(kov_processor_context* processor) : kov_context_function(processor, 0) {}
};

class kov_txl_function_ROW : public kov_context_function {
public:
  explicit kov_txl_function_ROW(kov_processor_context* processor) : kov_context_function(processor, 1) {}
};

class kov_txl_function_COL : public kov_context_function {
public:
  explicit kov_txl_function_COL(kov_processor_context* processor) : kov_context_function(processor, 2) {}
};

}  // namespace quillet
