#include "driver/sparse_file.h"

#include <windows.h>

#include <winioctl.h>

#include <stdexcept>

namespace e2e {

void CreateSparseFile(const std::filesystem::path& file, std::uint64_t length) {
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + file.string());
  DWORD returned = 0;
  // Where the file system has no sparse files, the length is all that is set all the same.
  ::DeviceIoControl(handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(length);
  const bool sized = ::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle);
  ::CloseHandle(handle);
  if (!sized) throw std::runtime_error("cannot size " + file.string());
}

void MakeHidden(const std::filesystem::path& file) {
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace e2e
