#include "base/unique_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

std::vector<int> closed;

struct IntTraits {
  using pointer = int;
  static pointer invalid() noexcept { return -1; }
  static void close(pointer value) noexcept { closed.push_back(value); }
};
using Handle = unique_handle<IntTraits>;

static_assert(!std::is_copy_constructible_v<Handle>);
static_assert(!std::is_copy_assignable_v<Handle>);

TEST(UniqueHandleTest, ClosesExactlyOnceOnEveryPath) {
  closed.clear();
  {
    Handle a(3);
    Handle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_TRUE(b);
    Handle c;
    c = std::move(b);
    EXPECT_EQ(c.get(), 3);
  }
  EXPECT_EQ(closed, std::vector<int>{3});
}

TEST(UniqueHandleTest, ResetAndReleaseAndSelfMove) {
  closed.clear();
  Handle h(4);
  h.reset(5);
  EXPECT_EQ(closed, std::vector<int>{4});
  EXPECT_EQ(h.release(), 5);
  EXPECT_FALSE(h);
  h.reset();
  EXPECT_EQ(closed, std::vector<int>{4});
  Handle s(6);
  Handle& alias = s;
  s = std::move(alias);
  EXPECT_EQ(s.get(), 6);
  Handle replaced(7);
  replaced = Handle(8);
  EXPECT_EQ(closed, (std::vector<int>{4, 7}));
}

}  // namespace
}  // namespace tw
