#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The records of comdlg32's dialogs, holding only the members the program sets or reads;
// every other member of the system's record is zero. Handles are 32-bit values (a window
// or device-context handle fits in 32 bits on 64-bit Windows too). Texts are the program's
// own text (UTF-8) and may hold NULs; the system layer converts them to the ANSI code page
// for the call and back after it. An empty text is passed as a null pointer.

// OPENFILENAMEA in its original form, ending with lpTemplateName.
struct OpenFileNameRecord {
  std::int32_t hwndOwner = 0;
  std::string lpstrFilter{};  // description NUL pattern NUL ... NUL NUL
  std::int32_t nFilterIndex = 0;
  std::string lpstrFile{};  // a buffer: nMaxFile characters, NUL-padded
  std::int32_t nMaxFile = 0;
  std::string lpstrFileTitle{};  // a buffer: nMaxFileTitle characters, NUL-padded
  std::int32_t nMaxFileTitle = 0;
  std::string lpstrInitialDir{};
  std::string lpstrTitle{};
  std::int32_t Flags = 0;
  std::string lpstrDefExt{};
};

// CHOOSECOLORA. The dialog reads and updates the sixteen custom colours in place.
struct ChooseColorRecord {
  std::int32_t hwndOwner = 0;
  std::int32_t rgbResult = 0;
  std::array<std::int32_t, 16>* lpCustColors = nullptr;
  std::int32_t Flags = 0;
};

inline constexpr std::size_t kFaceNameBytes = 32;

// The LOGFONTA that CHOOSEFONTA points to; the face name is ANSI bytes.
struct LogFontRecord {
  std::int32_t lfHeight = 0;
  std::int32_t lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::array<std::uint8_t, kFaceNameBytes> lfFaceName{};
};

// CHOOSEFONTA with its LOGFONTA.
struct ChooseFontRecord {
  std::int32_t hwndOwner = 0;
  std::int32_t hDC = 0;
  LogFontRecord logFont{};
  std::int32_t iPointSize = 0;
  std::int32_t Flags = 0;
  std::int32_t rgbColors = 0;
  std::uint16_t nFontType = 0;
  std::int32_t nSizeMin = 0;
  std::int32_t nSizeMax = 0;
};

// PRINTDLGA. The dialog starts from the default printer (no device-mode or device-names
// block is handed in). `devMode` receives the bytes of the device-mode block the dialog
// returns (DEVMODEA layout, see devmode_offset), empty when it returns none; the system
// layer frees the blocks the dialog allocated.
struct PrintDlgRecord {
  std::int32_t hwndOwner = 0;
  std::int32_t hDC = 0;
  std::int32_t Flags = 0;
  std::uint16_t nFromPage = 0;
  std::uint16_t nToPage = 0;
  std::uint16_t nMinPage = 0;
  std::uint16_t nMaxPage = 0;
  std::uint16_t nCopies = 0;
  std::vector<std::uint8_t> devMode{};
};

struct MarginRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// PAGESETUPDLGA; `devMode` as for PrintDlgRecord.
struct PageSetupDlgRecord {
  std::int32_t hwndOwner = 0;
  std::int32_t Flags = 0;
  MarginRect rtMinMargin{};
  MarginRect rtMargin{};
  std::vector<std::uint8_t> devMode{};
};

// Byte offsets of DEVMODEA's members in its original 124-byte form. Name fields are 32
// ANSI bytes; the members from dmOrientation to dmCollate are 16-bit.
namespace devmode_offset {
inline constexpr std::size_t kDeviceName = 0;
inline constexpr std::size_t kSpecVersion = 32;
inline constexpr std::size_t kDriverVersion = 34;
inline constexpr std::size_t kSize = 36;
inline constexpr std::size_t kDriverExtra = 38;
inline constexpr std::size_t kFields = 40;
inline constexpr std::size_t kOrientation = 44;
inline constexpr std::size_t kPaperSize = 46;
inline constexpr std::size_t kPaperLength = 48;
inline constexpr std::size_t kPaperWidth = 50;
inline constexpr std::size_t kScale = 52;
inline constexpr std::size_t kCopies = 54;
inline constexpr std::size_t kDefaultSource = 56;
inline constexpr std::size_t kPrintQuality = 58;
inline constexpr std::size_t kColor = 60;
inline constexpr std::size_t kDuplex = 62;
inline constexpr std::size_t kYResolution = 64;
inline constexpr std::size_t kTTOption = 66;
inline constexpr std::size_t kCollate = 68;
inline constexpr std::size_t kFormName = 70;
inline constexpr std::size_t kLogPixels = 102;
inline constexpr std::size_t kBitsPerPel = 104;
inline constexpr std::size_t kPelsWidth = 108;
inline constexpr std::size_t kPelsHeight = 112;
inline constexpr std::size_t kDisplayFlags = 116;
inline constexpr std::size_t kDisplayFrequency = 120;
inline constexpr std::size_t kRecordSize = 124;
}  // namespace devmode_offset

// comdlg32's dialog functions. Each shows a modal dialog and returns the system's value:
// non-zero when the user confirmed, 0 when the user cancelled or the dialog failed.
class CommonDialogs {
 public:
  virtual ~CommonDialogs() = default;
  virtual std::int32_t GetOpenFileNameA(OpenFileNameRecord& record) = 0;
  virtual std::int32_t GetSaveFileNameA(OpenFileNameRecord& record) = 0;
  // Writes the title of `file` into `title`, a buffer of title.size() characters;
  // returns 0 on success, the size needed when the buffer is too small, negative on error.
  virtual std::int16_t GetFileTitleA(const std::string& file, std::string& title) = 0;
  // The error code of this thread's last dialog call, 0 after success or cancel.
  virtual std::int32_t CommDlgExtendedError() = 0;
  virtual std::int32_t ChooseColorA(ChooseColorRecord& record) = 0;
  virtual std::int32_t ChooseFontA(ChooseFontRecord& record) = 0;
  virtual std::int32_t PrintDlgA(PrintDlgRecord& record) = 0;
  virtual std::int32_t PageSetupDlgA(PageSetupDlgRecord& record) = 0;
};

CommonDialogs& SystemCommonDialogs();

}  // namespace platform
