#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/binary_file.h"

namespace platform {

// The process's table of numbered open files: a free number is taken first, then a file is
// opened under it; the number addresses the file until it is closed.
class FileTable {
 public:
  static constexpr std::int16_t kHighestNumber = 255;

  explicit FileTable(FileOpener& opener) : opener_(opener) {}
  FileTable(const FileTable&) = delete;
  FileTable& operator=(const FileTable&) = delete;

  // The lowest number not in use; raises error 67 (too many files) when all are taken.
  std::int16_t FreeFile() const;
  // Opens `path` under `number`; raises error 52 for a number out of range or in use.
  void Open(std::int16_t number, const std::string& path);
  // The file open under `number`; raises error 52 when there is none.
  ReadOnlyFile& At(std::int16_t number);
  // Closes the file under `number`, if any.
  void Close(std::int16_t number);

 private:
  FileOpener& opener_;
  std::array<std::unique_ptr<ReadOnlyFile>, kHighestNumber + 1> files_{};
};

// The process-wide table over the system's files.
FileTable& ProcessFileTable();

}  // namespace platform
