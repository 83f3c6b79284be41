// Accumulating statistics records, and clearing a statistics value.
#include "txl/stat_value.h"

namespace quillet {

// The first sample sets both extremes; later ones replace an extreme only when strictly
// beyond it, so ties keep the time of the first.
void txl_stat_record::add_sample(double v, double time) {
  sum += v;
  sum2 += v * v;
  if (count == 0.0 || v > max) {
    max = v;
    max_time = time;
  }
  if (count == 0.0 || v < min) {
    min = v;
    min_time = time;
  }
  count += 1.0;
}

// Sums add up; each extreme is taken from the other record when this one is still empty or
// the other's is strictly beyond it, deciding on the count before the other is added.
void txl_stat_record::merge(const txl_stat_record& other) {
  sum += other.sum;
  sum2 += other.sum2;
  if (count == 0.0 || other.max > max) {
    max = other.max;
    max_time = other.max_time;
  }
  if (count == 0.0 || other.min < min) {
    min = other.min;
    min_time = other.min_time;
  }
  count += other.count;
}

void txl_stat_value::clear() {
  anyval_imp_float::clear();
  stats_ = txl_stat_record{};
}

}  // namespace quillet
