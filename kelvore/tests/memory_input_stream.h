#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "kelvore/base/errors.h"
#include "kelvore/base/input_stream.h"

namespace kelvore::testkit {

// Gives `bytes` as an input stream; with `failing_at`, reading anything past that many bytes
// fails with IoError, as a file on a failing disk would.
class MemoryInputStream : public InputStream {
 public:
  explicit MemoryInputStream(std::string bytes, std::size_t failing_at = std::string::npos)
      : bytes_(std::move(bytes)), failing_at_(failing_at) {}

  std::size_t Read(std::span<std::byte> out) override {
    const std::size_t count = std::min(out.size(), bytes_.size() - at_);
    if (count > 0 && at_ + count > failing_at_) throw IoError("Reading the test input failed.");
    std::copy_n(reinterpret_cast<const std::byte*>(bytes_.data()) + at_, count, out.begin());
    at_ += count;
    return count;
  }

 private:
  std::string bytes_;
  std::size_t failing_at_;
  std::size_t at_ = 0;
};

inline std::unique_ptr<InputStream> InputOf(std::string_view bytes) {
  return std::make_unique<MemoryInputStream>(std::string(bytes));
}

}  // namespace kelvore::testkit
