#include "kelvore/disc/memory_byte_source.h"

#include <algorithm>
#include <utility>

#include "kelvore/base/errors.h"

namespace kelvore {

MemoryByteSource::MemoryByteSource(std::vector<std::byte> bytes)
    : prefix_(std::move(bytes)), size_(prefix_.size()) {}

MemoryByteSource::MemoryByteSource(std::vector<std::byte> prefix, std::uint64_t size)
    : prefix_(std::move(prefix)), size_(std::max<std::uint64_t>(size, prefix_.size())) {}

void MemoryByteSource::ReadAt(std::uint64_t offset, std::span<std::byte> out) const {
  if (offset > size_ || out.size() > size_ - offset) {
    throw IoError("Read past the end of an in-memory image.");
  }
  std::fill(out.begin(), out.end(), std::byte{0});
  if (offset < prefix_.size()) {
    const std::size_t available = prefix_.size() - static_cast<std::size_t>(offset);
    const std::size_t count = std::min(available, out.size());
    std::copy_n(prefix_.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
  }
}

}  // namespace kelvore
