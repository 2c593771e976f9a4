#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace platform {

// A file opened for reading bytes, untranslated.
class ReadOnlyFile {
 public:
  virtual ~ReadOnlyFile() = default;
  // The file's length in bytes.
  virtual std::int64_t Length() = 0;
  // Fills `buffer` from the current position and advances it. Raises corvane::Error when
  // the bytes cannot be read.
  virtual void Read(std::span<std::uint8_t> buffer) = 0;
};

// Opens files for binary reading while denying other processes write access (they may
// still read). Closing is the destruction of the returned object.
class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Raises corvane::Error with the reason when the file cannot be opened.
  virtual std::unique_ptr<ReadOnlyFile> OpenForBinaryRead(const std::string& path) = 0;
};

FileOpener& SystemFileOpener();

}  // namespace platform
