#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvore/disc/memory_byte_source.h"
#include "kelvore/tool/source_image.h"

namespace kelvore::testkit {

// An image in memory standing for a source file that no path names and nothing changes.
class MemorySourceImage : public SourceImage {
 public:
  MemorySourceImage(std::vector<std::byte> prefix, std::uint64_t size)
      : bytes_(std::move(prefix), size) {}

  std::uint64_t Size() const override { return bytes_.Size(); }
  void ReadAt(std::uint64_t offset, std::span<std::byte> out) const override {
    bytes_.ReadAt(offset, out);
  }
  bool IsFileAt(const std::string&) const override { return false; }
  bool ChangedSinceOpened() const override { return false; }

 private:
  MemoryByteSource bytes_;
};

}  // namespace kelvore::testkit
