#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

// Owns one Win32 handle of a kind described by Traits (its invalid value and how it is
// closed). Move-only; the handle is closed when the owner goes.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  Handle Get() const { return handle_; }
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) {
    if (*this) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// A handle kind that is null on failure and closed by `close`.
template <typename HandleType, auto close>
struct NullOnFailure {
  using Handle = HandleType;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { close(handle); }
};

// A kernel handle kind that is INVALID_HANDLE_VALUE on failure and closed by `close`.
template <auto close>
struct InvalidValueOnFailure {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { close(handle); }
};

// CreateFile returns INVALID_HANDLE_VALUE on failure.
using UniqueFileHandle = UniqueHandle<InvalidValueOnFailure<::CloseHandle>>;
// Process and thread handles are null on failure.
using UniqueKernelHandle = UniqueHandle<NullOnFailure<HANDLE, ::CloseHandle>>;
// FindFirstFile returns INVALID_HANDLE_VALUE on failure and is closed with FindClose.
using UniqueFindHandle = UniqueHandle<InvalidValueOnFailure<::FindClose>>;
// GDI fonts are deleted with DeleteObject.
using UniqueFont = UniqueHandle<NullOnFailure<HFONT, ::DeleteObject>>;
// Icons loaded without LR_SHARED are destroyed with DestroyIcon.
using UniqueIcon = UniqueHandle<NullOnFailure<HICON, ::DestroyIcon>>;
// A menu not (yet) attached to a window; one attached goes with the window.
using UniqueMenu = UniqueHandle<NullOnFailure<HMENU, ::DestroyMenu>>;
// Modules of LoadLibrary are freed with FreeLibrary.
using UniqueModule = UniqueHandle<NullOnFailure<HMODULE, ::FreeLibrary>>;

}  // namespace platform::win32
