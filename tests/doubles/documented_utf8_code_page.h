#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ansi_conversion.h"

namespace doubles {

// kernel32's conversions for the UTF-8 ANSI code page as Windows documents them, failures
// included: WideCharToMultiByte takes no flag but WC_ERR_INVALID_CHARS and no
// lpUsedDefaultChar, MultiByteToWideChar no flag but MB_ERR_INVALID_CHARS; with those flags
// an invalid character (an unpaired surrogate, a stray byte) fails the call, without them
// it becomes U+FFFD. Empty input and a buffer that is too small fail as well.
class DocumentedUtf8CodePage final : public platform::AnsiCodePageApi {
 public:
  // How a call that fills a buffer behaves; a call that measures always answers.
  enum class Fill {
    kAsDocumented,
    kFails,         // as when the system runs out of memory between measuring and filling
    kOneUnitShort,  // as when the code page changed between the two calls
  };

  // From now on every conversion fails, as when the system runs out of memory.
  void FailEveryCall() { failing_ = true; }
  void SetFill(Fill fill) { fill_ = fill; }

  std::uint32_t GetACP() override { return kUtf8CodePage; }

  int WideCharToMultiByte(std::uint32_t flags, std::u16string_view wide, std::span<char> ansi,
                          bool* usedDefaultChar) override {
    if (failing_ || wide.empty() || (flags & ~kWideErrInvalidChars) != 0 || usedDefaultChar)
      return 0;
    const bool strict = (flags & kWideErrInvalidChars) != 0;
    std::string utf8;
    for (std::size_t i = 0; i < wide.size(); ++i) {
      char32_t point = wide[i];
      if (IsSurrogate(point)) {
        const bool paired = point < 0xDC00 && i + 1 < wide.size() && IsSurrogate(wide[i + 1]) &&
                            wide[i + 1] >= 0xDC00;
        if (!paired && strict) return 0;
        point = paired ? 0x10000 + ((point - 0xD800) << 10) + (wide[++i] - 0xDC00) : kReplacement;
      }
      AppendUtf8(utf8, point);
    }
    return Deliver(utf8, ansi);
  }

  // Decodes sequences of up to three bytes, all the tests need.
  int MultiByteToWideChar(std::uint32_t flags, std::string_view ansi,
                          std::span<char16_t> wide) override {
    if (failing_ || ansi.empty() || (flags & ~kMultiByteErrInvalidChars) != 0) return 0;
    const bool strict = (flags & kMultiByteErrInvalidChars) != 0;
    std::u16string utf16;
    for (std::size_t i = 0; i < ansi.size();) {
      const auto lead = static_cast<unsigned char>(ansi[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 0x6 ? 2 : lead >> 4 == 0xE ? 3 : 0;
      char32_t point = length == 1 ? lead : lead & (0xFF >> (length + 1));
      bool valid = length != 0 && i + length <= ansi.size();
      for (std::size_t k = 1; valid && k < length; ++k) {
        valid = (static_cast<unsigned char>(ansi[i + k]) & 0xC0) == 0x80;
        point = (point << 6) | (ansi[i + k] & 0x3F);
      }
      if (!valid && strict) return 0;
      utf16.push_back(static_cast<char16_t>(valid ? point : kReplacement));
      i += valid ? length : 1;
    }
    return Deliver(utf16, wide);
  }

 private:
  static constexpr char32_t kReplacement = 0xFFFD;

  static bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xE000; }

  static void AppendUtf8(std::string& utf8, char32_t point) {
    const int tail = point < 0x80 ? 0 : point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
    constexpr unsigned char kLeads[] = {0x00, 0xC0, 0xE0, 0xF0};
    utf8.push_back(static_cast<char>(kLeads[tail] | (point >> (6 * tail))));
    for (int k = tail - 1; k >= 0; --k)
      utf8.push_back(static_cast<char>(0x80 | ((point >> (6 * k)) & 0x3F)));
  }

  template <typename Text, typename Unit>
  int Deliver(const Text& converted, std::span<Unit> output) const {
    if (output.empty()) return static_cast<int>(converted.size());
    if (output.size() < converted.size() || fill_ == Fill::kFails) return 0;
    const std::size_t count = converted.size() - (fill_ == Fill::kOneUnitShort ? 1 : 0);
    std::copy_n(converted.begin(), count, output.begin());
    return static_cast<int>(count);
  }

  bool failing_ = false;
  Fill fill_ = Fill::kAsDocumented;
};

}  // namespace doubles
