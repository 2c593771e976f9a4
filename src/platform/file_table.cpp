#include "platform/file_table.h"

#include "platform/executable.h"
#include "support/error.h"

namespace platform {
namespace {

corvane::Error BadFileNumber() {
  return corvane::Error(corvane::error_number::kBadFileName, SystemExecutable().Name());
}

bool InRange(std::int16_t number) { return number >= 1 && number <= FileTable::kHighestNumber; }

}  // namespace

std::int16_t FileTable::FreeFile() const {
  for (std::int16_t number = 1; number <= kHighestNumber; ++number) {
    if (!files_[number]) return number;
  }
  throw corvane::Error(corvane::error_number::kTooManyFiles, SystemExecutable().Name());
}

void FileTable::Open(std::int16_t number, const std::string& path) {
  if (!InRange(number) || files_[number]) throw BadFileNumber();
  files_[number] = opener_.OpenForBinaryRead(path);
}

ReadOnlyFile& FileTable::At(std::int16_t number) {
  if (!InRange(number) || !files_[number]) throw BadFileNumber();
  return *files_[number];
}

void FileTable::Close(std::int16_t number) {
  if (InRange(number)) files_[number].reset();
}

FileTable& ProcessFileTable() {
  static FileTable table(SystemFileOpener());
  return table;
}

}  // namespace platform
