#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace kelvore {

// Reads a file as the storage holds it, not as the system's cache does. Like Windows'
// unbuffered reads (and Linux's direct ones), it takes only offsets and lengths that are
// multiples of SectorSize(), into buffers whose addresses are multiples of BufferAlignment().
class StorageReader {
 public:
  virtual ~StorageReader() = default;

  // Each a power of two of at least 4,096 that divides 32 KiB.
  virtual std::size_t SectorSize() const = 0;
  virtual std::size_t BufferAlignment() const = 0;

  // False where the reader cannot make sure that its reads reach the storage (the system or
  // the file system may answer them from a cache): the read-back is then best effort.
  virtual bool BypassesCache() const = 0;

  // The file's size as the file system holds it; throws IoError when it cannot tell.
  virtual std::uint64_t Size() const = 0;

  // Fills `out` from `offset`; throws IoError when reading fails or the file ends early.
  virtual void ReadAt(std::uint64_t offset, std::span<std::byte> out) = 0;
};

// The file a rebuilt image is written into. Positions not written stay zero (holes, where the
// file system keeps them). Failures throw IoError.
class OutputFile {
 public:
  // Closes the file and, unless CommitAs succeeded, removes it.
  virtual ~OutputFile() = default;

  virtual void SetSize(std::uint64_t size) = 0;
  virtual void WriteAt(std::uint64_t offset, std::span<const std::byte> data) = 0;

  // Starts writing the range's data to the storage and returns without waiting, where the
  // system can do that; elsewhere it does nothing and WaitForWriteBack does the work.
  virtual void StartWriteBack(std::uint64_t offset, std::uint64_t length) = 0;
  // Returns once the range's data has reached the storage.
  virtual void WaitForWriteBack(std::uint64_t offset, std::uint64_t length) = 0;

  // Makes the written data and the file's size durable.
  virtual void Flush() = 0;

  // A reader of what the storage holds of this file; call it after Flush.
  virtual std::unique_ptr<StorageReader> OpenReadBack() = 0;

  // Closes the file and gives it its final name, never replacing an existing file, and
  // makes the name as durable as the system allows. Throws CommittedWithLeftover when the
  // image has its final name but its unfinished one could not be removed.
  virtual void CommitAs(const std::string& final_path) = 0;
};

}  // namespace kelvore
