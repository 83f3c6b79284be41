// The counted handle: adoption, retention, move, derived-to-base, and the live counter.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillet
