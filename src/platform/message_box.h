#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Message-box style values.
namespace message_style {
inline constexpr std::uint32_t kOk = 0x0;
inline constexpr std::uint32_t kIconError = 0x10;
inline constexpr std::uint32_t kIconInformation = 0x40;
// A box without owner disables every top-level window of the calling thread while shown.
inline constexpr std::uint32_t kTaskModal = 0x2000;
}  // namespace message_style

// A modal message box: returns when the user closes it.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(const std::string& text, const std::string& title, std::uint32_t style) = 0;
};

}  // namespace platform
