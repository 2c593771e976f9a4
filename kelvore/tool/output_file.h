#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kelvore {

// The file a rebuilt image is written into. Positions not written stay zero (holes, where the
// file system keeps them). Failures throw IoError.
class OutputFile {
 public:
  // Closes the file and, unless CommitAs succeeded, removes it.
  virtual ~OutputFile() = default;

  virtual void WriteAt(std::uint64_t offset, std::span<const std::byte> data) = 0;
  virtual void ReadAt(std::uint64_t offset, std::span<std::byte> out) = 0;
  virtual void SetSize(std::uint64_t size) = 0;

  // Makes the written data durable.
  virtual void Flush() = 0;

  // Closes the file and gives it its final name, never replacing an existing file.
  virtual void CommitAs(const std::string& final_path) = 0;
};

}  // namespace kelvore
