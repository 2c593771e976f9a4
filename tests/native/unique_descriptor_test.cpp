#include "platform/posix/unique_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <utility>

namespace {

using platform::posix::UniqueDescriptor;

bool IsOpen(int descriptor) { return fcntl(descriptor, F_GETFD) != -1; }

int OpenNull() { return open("/dev/null", O_RDONLY | O_CLOEXEC); }

// A descriptor number is reused by the next open: an owner that closed or gave away its
// descriptor must never close that number again, or it closes someone else's file.
TEST(UniqueDescriptor, ClosesItsDescriptorOnceAndNeverAnotherOwnersReusedNumber) {
  int number = -1;
  {
    UniqueDescriptor owner(OpenNull());
    number = owner.Get();
    ASSERT_TRUE(owner);
    EXPECT_TRUE(owner.Close());
    EXPECT_FALSE(owner);
    EXPECT_FALSE(IsOpen(number));
    UniqueDescriptor reused(OpenNull());
    ASSERT_EQ(reused.Get(), number);
    owner = UniqueDescriptor();  // must not close `reused`
    EXPECT_TRUE(IsOpen(number));
    UniqueDescriptor moved = std::move(reused);
    EXPECT_FALSE(reused);
    EXPECT_TRUE(IsOpen(number));
    UniqueDescriptor replaced(OpenNull());
    const int other = replaced.Get();
    replaced = std::move(moved);  // closes what `replaced` held, takes `moved`'s
    EXPECT_FALSE(IsOpen(other));
    EXPECT_TRUE(IsOpen(number));
  }
  EXPECT_FALSE(IsOpen(number));
}

}  // namespace
