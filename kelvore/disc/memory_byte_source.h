#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "kelvore/disc/byte_source.h"

namespace kelvore {

// An image held in memory. It may claim a larger size than the bytes it holds: the rest reads
// as zeros, which lets small buffers stand for images of disc size.
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(std::vector<std::byte> bytes);
  MemoryByteSource(std::vector<std::byte> prefix, std::uint64_t size);

  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override;

 private:
  std::vector<std::byte> prefix_;
  std::uint64_t size_;
};

}  // namespace kelvore
