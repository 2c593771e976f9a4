#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/directory_search.h"
#include "platform/file_table.h"

namespace corvane {

// Read-only, byte-oriented access to one existing file at a time. Pointing the stream at a
// file (`file(name)`) closes the previous one and opens the new one, denying others write
// access while it is open; `Read` hands the contents out in sequential chunks and closes
// the file once nothing is left; destruction closes it too.
class cBinaryFileStream {
 public:
  // Errors carry the source "<errorSourcePrefix>.File" ("Corvane.File").
  cBinaryFileStream();
  cBinaryFileStream(platform::FileTable& files, platform::DirectorySearch& search,
                    std::string errorSourcePrefix);
  cBinaryFileStream(const cBinaryFileStream&) = delete;
  cBinaryFileStream& operator=(const cBinaryFileStream&) = delete;
  ~cBinaryFileStream();

  // The name last assigned, whether or not it could be opened.
  const std::string& file() const { return fileName_; }
  // Closes what is open, then opens `sFile`. Raises error 53 when no ordinary file of
  // that name exists (hidden and system files and folders do not count).
  void file(std::string sFile);

  // The length of the file when it was opened, in bytes. Files of 2 GiB or more report
  // 2,147,483,647, never a wrapped or truncated value.
  std::int32_t Length() const;
  // The exact length of the file when it was opened.
  std::int64_t ExactLength() const { return length_; }

  // Delivers the next `readSize` bytes (fewer at the end) into `buffer`, which must hold
  // at least `readSize` elements; returns the count delivered, 0 once the file is done
  // (and closes it then). Raises 6 when the position would overflow, 9 for a buffer too
  // small for the bytes, 5 for a `readSize` below 1.
  std::int32_t Read(std::vector<std::uint8_t>& buffer, std::int32_t readSize);

  // Closes the open file, if any. Name, length and position stay.
  void Dispose();

 private:
  bool FileExistsByDir(const std::string& name, std::int32_t& errorNumber);
  void RaiseError(std::int32_t number) const;
  std::int32_t ReadRemainder(std::vector<std::uint8_t>& buffer, std::int32_t remainder);

  platform::FileTable& files_;
  platform::DirectorySearch& search_;
  std::string errorSource_;

  std::string fileName_;
  std::int16_t fileNumber_ = 0;
  std::int64_t length_ = 0;
  std::int32_t position_ = 0;
};

}  // namespace corvane
