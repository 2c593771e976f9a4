#pragma once

#include <cstdint>

namespace platform::win32 {

// Window and device-context handles travel through the program as 32-bit values: 64-bit
// Windows keeps their significant bits in the low 32 and sign-extends them, so the value
// converts back to the same handle.
inline std::int32_t HandleValue(const void* handle) {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(handle));
}

template <typename Handle>
Handle HandleFromValue(std::int32_t value) {
  return reinterpret_cast<Handle>(static_cast<std::intptr_t>(value));
}

}  // namespace platform::win32
