#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvore {

// Read-only random access to an image. Implementations throw IoError when reading fails.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  virtual std::uint64_t Size() const = 0;

  // Fills `out` with the bytes at `offset`. The caller keeps the range within Size().
  virtual void ReadAt(std::uint64_t offset, std::span<std::byte> out) const = 0;
};

inline std::vector<std::byte> ReadBytes(const ByteSource& source, std::uint64_t offset,
                                        std::size_t length) {
  std::vector<std::byte> bytes(length);
  source.ReadAt(offset, bytes);
  return bytes;
}

}  // namespace kelvore
