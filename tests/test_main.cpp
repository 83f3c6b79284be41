// Test entry point: every test must end with no counted object left alive.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/rc/live_count.h"

namespace {

class live_object_check : public testing::EmptyTestEventListener {
  std::int64_t before_ = 0;
  void OnTestStart(const testing::TestInfo&) override { before_ = quillet::rc_live_objects(); }
  void OnTestEnd(const testing::TestInfo& info) override {
    if (info.result()->Failed())
      return;
    auto after = quillet::rc_live_objects();
    if (after == before_)
      return;
    std::fprintf(stderr, "LEAK: %s.%s left %lld counted objects alive\n", info.test_suite_name(),
                 info.name(), static_cast<long long>(after - before_));
    leaked = true;
  }

public:
  bool leaked = false;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  auto* check = new live_object_check;
  testing::UnitTest::GetInstance()->listeners().Append(check);
  int rc = RUN_ALL_TESTS();
  return rc != 0 ? rc : (check->leaked ? 1 : 0);
}
