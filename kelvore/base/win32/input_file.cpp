#include <windows.h>

#include <algorithm>
#include <utility>

#include "kelvore/base/errors.h"
#include "kelvore/base/input_stream.h"
#include "kelvore/base/message_format.h"
#include "kelvore/base/win32/long_path.h"
#include "platform/win32/system_message.h"
#include "platform/win32/unique_handle.h"

namespace kelvore {
namespace {

using platform::win32::SystemMessage;
using platform::win32::UniqueFileHandle;

// ReadFile moves at most this much per call.
constexpr std::size_t kMaxRead = 1u << 30;

class InputFile : public InputStream {
 public:
  InputFile(UniqueFileHandle file, std::string path)
      : file_(std::move(file)), path_(std::move(path)) {}

  std::size_t Read(std::span<std::byte> out) override {
    std::size_t filled = 0;
    while (filled < out.size()) {
      const auto wanted = static_cast<DWORD>(std::min(out.size() - filled, kMaxRead));
      DWORD count = 0;
      if (!ReadFile(file_.Get(), out.data() + filled, wanted, &count, nullptr)) {
        throw IoError("Reading " + Printable(path_) + " failed: " + SystemMessage(GetLastError()));
      }
      if (count == 0) break;
      filled += count;
    }
    return filled;
  }

 private:
  UniqueFileHandle file_;
  std::string path_;
};

}  // namespace

std::unique_ptr<InputStream> OpenInputFile(const std::string& path) {
  const std::wstring system_path = LongPathForm(path);
  // Others may read it too, but not change it while it is read.
  UniqueFileHandle file(CreateFileW(system_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED && IsFolderAt(system_path)) {
      throw IoError(Printable(path) + " is a folder, not a file.");
    }
    throw IoError("Cannot open " + Printable(path) + ": " + SystemMessage(error));
  }
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
    throw IoError(Printable(path) + " is not a regular file.");
  }
  return std::make_unique<InputFile>(std::move(file), path);
}

}  // namespace kelvore
