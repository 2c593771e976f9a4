#include "support/binary_file_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "platform/executable.h"
#include "platform/file_attributes.h"
#include "support/checked_int.h"
#include "support/error.h"

namespace corvane {

cBinaryFileStream::cBinaryFileStream()
    : cBinaryFileStream(platform::ProcessFileTable(), platform::SystemDirectorySearch(),
                        platform::SystemExecutable().Name()) {}

cBinaryFileStream::cBinaryFileStream(platform::FileTable& files, platform::DirectorySearch& search,
                                     std::string errorSourcePrefix)
    : files_(files), search_(search), errorSource_(std::move(errorSourcePrefix) + ".File") {}

cBinaryFileStream::~cBinaryFileStream() { Dispose(); }

void cBinaryFileStream::file(std::string sFile) {
  Dispose();
  fileName_ = std::move(sFile);
  std::int32_t errorNumber = 0;
  if (!FileExistsByDir(fileName_, errorNumber)) RaiseError(errorNumber);

  const std::int16_t number = files_.FreeFile();
  files_.Open(number, fileName_);
  fileNumber_ = number;
  try {
    length_ = files_.At(number).Length();
  } catch (...) {
    Dispose();
    throw;
  }
  position_ = 0;
}

std::int32_t cBinaryFileStream::Length() const {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(length_, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t cBinaryFileStream::Read(std::vector<std::uint8_t>& buffer, std::int32_t readSize) {
  if (readSize < 1) throw Error(error_number::kInvalidArgument, errorSource_);
  const std::int32_t end = CheckedAdd(position_, readSize, errorSource_);
  std::int32_t count = 0;
  if (end < Length()) {
    if (buffer.size() < static_cast<size_t>(readSize)) {
      throw Error(error_number::kSubscriptOutOfRange, errorSource_);
    }
    files_.At(fileNumber_).Read(std::span(buffer.data(), static_cast<size_t>(readSize)));
    count = readSize;
  } else {
    const std::int32_t remainder = CheckedSubtract(Length(), position_, errorSource_);
    if (remainder < 1) {
      Dispose();  // nothing left: the file is done
      count = remainder;
    } else {
      count = ReadRemainder(buffer, remainder);
    }
  }
  position_ = CheckedAdd(position_, count, errorSource_);
  return count;
}

// The last, partial chunk: read into a buffer of its own size and copied to the front of
// the caller's buffer; the caller's elements beyond it keep their contents. The buffer is
// checked first, so that a refused read leaves the file where the position says it is.
std::int32_t cBinaryFileStream::ReadRemainder(std::vector<std::uint8_t>& buffer,
                                              std::int32_t remainder) {
  std::vector<std::uint8_t> chunk(static_cast<size_t>(remainder));
  if (buffer.size() < chunk.size()) throw Error(error_number::kSubscriptOutOfRange, errorSource_);
  files_.At(fileNumber_).Read(chunk);
  std::memcpy(buffer.data(), chunk.data(), chunk.size());
  return remainder;
}

void cBinaryFileStream::Dispose() {
  if (fileNumber_ != 0) {
    files_.Close(fileNumber_);
    fileNumber_ = 0;
  }
}

bool cBinaryFileStream::FileExistsByDir(const std::string& name, std::int32_t& errorNumber) {
  errorNumber = 0;
  std::string match;
  try {
    match = search_.FirstMatch(name, platform::attribute::kNormal);
  } catch (const Error& error) {
    errorNumber = error.Number();
  }
  if (errorNumber != 0) return false;
  if (match.empty()) errorNumber = error_number::kFileNotFound;
  return !match.empty();
}

void cBinaryFileStream::RaiseError(std::int32_t number) const { throw Error(number, errorSource_); }

}  // namespace corvane
