// The statistics built-ins: accumulation of the arguments and the figures that need more
// than one field of the record.
#include <cmath>

#include "txl/builtin_args.h"
#include "txl/xfn_stat.h"

namespace quillet {

namespace {

// Adds one argument that is not a statistics value: each element of a vector, or the value
// itself, as a sample of its number reading (0.0 when absent or unreadable).
void add_plain_samples(txl_stat_record& r, const anyval& a) {
  if (const anyval_list* elements = a.as_vector()) {
    for (const anyval& e : *elements)
      r.add_sample(number_arg_or(e, 0.0));
    return;
  }
  r.add_sample(number_arg_or(a, 0.0));
}

// The sum of squared deviations from the mean.
double squared_deviations(const txl_stat_record& r) { return r.sum2 - r.sum * r.sum / r.count; }

template <class F>
bool run_stat(txl_call& call) {
  return F().evaluate(call);
}

}  // namespace

txl_stat_record accumulate_stat_args(const anyval_list& args) {
  txl_stat_record r;
  for (const anyval& a : args) {
    if (a.empty())
      continue;
    if (const auto* stat = dynamic_cast<const txl_stat_value*>(a.get())) {
      r.merge(stat->stats());
      continue;
    }
    add_plain_samples(r, a);
  }
  return r;
}

bool xfn_stat::evaluate(txl_call& call) const {
  call.result.set_float(compute(accumulate_stat_args(call.arg_list())));
  return true;
}

// Not divided by the count; 0 for no samples.
double xfn_stat_disp::compute(const txl_stat_record& r) const {
  return r.count == 0.0 ? 0.0 : squared_deviations(r);
}

// The sample (unbiased) standard deviation; 0 for fewer than two samples.
double xfn_stat_stdev::compute(const txl_stat_record& r) const {
  return r.count > 1.0 ? std::sqrt(squared_deviations(r) / (r.count - 1.0)) : 0.0;
}

// The population (biased) standard deviation; 0 for no samples.
double xfn_stat_stdevn::compute(const txl_stat_record& r) const {
  return r.count == 0.0 ? 0.0 : std::sqrt(squared_deviations(r) / r.count);
}

bool xfn_stat_sum::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_sum>(c); }
bool xfn_stat_sum2::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_sum2>(c); }
bool xfn_stat_avg::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_avg>(c); }
bool xfn_stat_disp::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_disp>(c); }
bool xfn_stat_stdev::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_stdev>(c); }
bool xfn_stat_stdevn::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_stdevn>(c); }
bool xfn_stat_max::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_max>(c); }
bool xfn_stat_min::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_min>(c); }
bool xfn_stat_max_t::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_max_t>(c); }
bool xfn_stat_min_t::call(txl_cookie, txl_call& c) { return run_stat<xfn_stat_min_t>(c); }

}  // namespace quillet
