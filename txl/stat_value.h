// Statistics over samples or a time interval: the accumulated record that the statistics
// built-ins reduce to one figure, and txl_stat_value, the float value that carries a record
// from the interval-statistics channel functions into those built-ins.
#pragma once

#include "txl/anyval.h"

namespace quillet {

// Seven doubles accumulated over samples. For time-weighted statistics count is the weight
// total and sum, sum2 the time integrals.
struct txl_stat_record {
  double count = 0.0;
  double sum = 0.0;
  double sum2 = 0.0;
  double max = 0.0;
  double min = 0.0;
  double max_time = 0.0;  // time value of the largest sample, 0 when unknown
  double min_time = 0.0;  // time value of the smallest sample, 0 when unknown

  // Adds one sample taken at `time`; an equal later extreme keeps the earlier one's time.
  void add_sample(double v, double time = 0.0);
  // Adds a whole record, as if its samples had been added one by one.
  void merge(const txl_stat_record& other);
};

// A float value (type code 2) whose number is the sample count, carrying the full record.
// Immutable once handed out.
class txl_stat_value : public anyval_imp_float {
public:
  txl_stat_value() = default;
  explicit txl_stat_value(const txl_stat_record& stats) : anyval_imp_float(stats.count), stats_(stats) {}
  void clear() override;
  const txl_stat_record& stats() const { return stats_; }

private:
  txl_stat_record stats_;
};

}  // namespace quillet
