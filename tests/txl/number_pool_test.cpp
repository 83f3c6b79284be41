// The number pool under the patterns a report and the editor's threads produce: numbers
// dropped on another thread than the one that made them, more numbers alive than a thread
// keeps, and derived value classes too large for a pool block.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "txl/anyval.h"

namespace quillet {
namespace {

// A float carrying more than a pool block holds.
class wide_float : public anyval_imp_float {
public:
  explicit wide_float(double v) : anyval_imp_float(v) { std::memset(extra, 0x5A, sizeof extra); }
  char extra[64];
};

TEST(NumberPool, NumbersMadeAndDroppedAnywhere) {
  for (std::size_t count : {1u, 100u, 5000u, 20000u}) {
    SCOPED_TRACE(count);
    std::vector<anyval> values;
    for (std::size_t i = 0; i < count; ++i) {
      values.push_back(i % 3 ? anyval::from_float(static_cast<double>(i) + 0.5) : anyval::from_int(static_cast<std::int32_t>(i)));
      if (i % 7 == 0)
        values.push_back(anyval(make_rc<wide_float>(static_cast<double>(i))));
    }
    std::thread dropper([&values] {
      for (std::size_t i = 0; i < values.size(); i += 2)
        values[i].release();
    });
    dropper.join();
    // The blocks this thread now takes may be ones the other thread dropped or fresh ones;
    // every value must read back as made.
    std::vector<anyval> more;
    for (std::size_t i = 0; i < count; ++i)
      more.push_back(anyval::from_float(static_cast<double>(i)));
    for (std::size_t i = 0; i < count; ++i) {
      double d = -1;
      ASSERT_TRUE(more[i].to_double(d));
      ASSERT_EQ(d, static_cast<double>(i));
    }
    for (std::size_t i = 1; i < values.size(); i += 2) {
      double d = -1;
      ASSERT_TRUE(values[i].to_double(d));
    }
  }
}

}  // namespace
}  // namespace quillet
