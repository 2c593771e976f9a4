#pragma once

#include <unistd.h>

#include <utility>

namespace platform::posix {

// Owns one open file descriptor: move-only, closed when the owner goes. A negative value
// stands for none, which is what open() returns on failure.
class UniqueDescriptor {
 public:
  UniqueDescriptor() = default;
  explicit UniqueDescriptor(int descriptor) : descriptor_(descriptor) {}
  UniqueDescriptor(const UniqueDescriptor&) = delete;
  UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;
  UniqueDescriptor(UniqueDescriptor&& other) noexcept : descriptor_(other.Release()) {}
  UniqueDescriptor& operator=(UniqueDescriptor&& other) noexcept {
    Close();
    descriptor_ = other.Release();
    return *this;
  }
  ~UniqueDescriptor() { Close(); }

  explicit operator bool() const { return descriptor_ >= 0; }
  int Get() const { return descriptor_; }

  // Hands the descriptor over to the caller.
  int Release() { return std::exchange(descriptor_, -1); }

  // Closes it now; false, with errno set, when closing reported a failure (a write-back
  // error, say). Either way the descriptor is gone: it is never closed twice.
  bool Close() {
    if (descriptor_ < 0) return true;
    return ::close(Release()) == 0;
  }

 private:
  int descriptor_ = -1;
};

}  // namespace platform::posix
