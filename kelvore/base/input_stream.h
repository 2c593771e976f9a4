#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace kelvore {

// Bytes read once from start to end, a part at a time.
class InputStream {
 public:
  virtual ~InputStream() = default;

  // Fills the start of `out` with the next bytes and returns how many: fewer than asked only
  // at the end, and 0 from then on. Throws IoError when reading fails.
  virtual std::size_t Read(std::span<std::byte> out) = 0;
};

// The regular file at `path`, read from its start. Throws IoError when it cannot be opened,
// naming a folder or a device as such.
std::unique_ptr<InputStream> OpenInputFile(const std::string& path);

}  // namespace kelvore
