// The statistics built-ins (SUM, SUM2, AVG, DISP, STDEV, STDEVN, MAX, MIN, MAX_T, MIN_T): one
// class each over xfn_stat, which accumulates the arguments into one record; each class
// reduces the record to its figure. They never fail. Each library row builds a transient
// instance for its one call.
#pragma once

#include "txl/function_entry.h"
#include "txl/stat_value.h"

namespace quillet {

class xfn_stat {
public:
  virtual ~xfn_stat() = default;
  // The figure of the accumulated record.
  virtual double compute(const txl_stat_record& r) const = 0;
  // Accumulates every argument and stores the figure as a float.
  bool evaluate(txl_call& call) const;
};

// The record of a call's arguments: statistics values merge, vector elements and other
// values count as samples, absent arguments are skipped.
txl_stat_record accumulate_stat_args(const anyval_list& args);

class xfn_stat_sum final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.sum; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_sum2 final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.sum2; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_avg final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.sum / r.count; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_disp final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_stdev final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_stdevn final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_max final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.max; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_min final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.min; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_max_t final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.max_time; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_stat_min_t final : public xfn_stat {
public:
  double compute(const txl_stat_record& r) const override { return r.min_time; }
  static bool call(txl_cookie, txl_call& call);
};

}  // namespace quillet
