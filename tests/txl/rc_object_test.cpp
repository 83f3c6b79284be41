// The counted handle: adoption, retention, move, derived-to-base, and the live counter.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "txl/rc_object.h"

namespace quillet {
namespace {

struct base_obj : dynamic_object {
  int tag = 0;
};
struct derived_obj : base_obj {
  explicit derived_obj(int* destroyed) : destroyed_(destroyed) {}
  ~derived_obj() override { ++*destroyed_; }
  int* destroyed_;
};

TEST(RcPtr, CountsFollowHandles) {
  int destroyed = 0;
  auto before = rc_live_objects();
  {
    rc_ptr<derived_obj> a = make_rc<derived_obj>(&destroyed);
    EXPECT_EQ(a->ref_count(), 1);
    EXPECT_EQ(rc_live_objects(), before + 1);
    rc_ptr<base_obj> b = a;  // retaining derived-to-base copy
    EXPECT_EQ(a->ref_count(), 2);
    rc_ptr<base_obj> c = std::move(b);
    EXPECT_EQ(a->ref_count(), 2);
    EXPECT_FALSE(b);
    c.reset();
    EXPECT_EQ(a->ref_count(), 1);
    auto d = rc_dynamic_cast<derived_obj>(rc_ptr<base_obj>(a));
    EXPECT_EQ(d.get(), a.get());
    a = d;  // self-assignment through another handle keeps the object
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(rc_live_objects(), before);
}

// Objects made on some threads and freed on others, by threads that have ended, still count
// exactly: the live count sees every one made and every one freed.
TEST(RcPtr, LiveCountAcrossThreads) {
  const auto before = rc_live_objects();
  std::vector<rc_ptr<base_obj>> made(4000);
  std::vector<std::thread> makers;
  for (int t = 0; t < 4; ++t)
    makers.emplace_back([&made, t] {
      for (int i = t; i < 4000; i += 4)
        made[static_cast<std::size_t>(i)] = make_rc<base_obj>();
    });
  for (auto& m : makers)
    m.join();
  EXPECT_EQ(rc_live_objects(), before + 4000);
  std::thread freer([&made] {
    for (std::size_t i = 0; i < made.size(); i += 2)
      made[i].reset();
  });
  freer.join();
  EXPECT_EQ(rc_live_objects(), before + 2000);
  made.clear();
  EXPECT_EQ(rc_live_objects(), before);
}

}  // namespace
}  // namespace quillet
