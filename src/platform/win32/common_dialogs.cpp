#include "platform/common_dialogs.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/ansi_code_page.h"
#include "platform/win32/handle_value.h"
#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

using win32::HandleFromValue;
using win32::HandleValue;

// OPENFILENAMEA in its original form, which ends with lpTemplateName.
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);

#if defined(__i386__)
// The sizes of the records on the 32-bit target, where the dialogs' structures are packed.
static_assert(kOpenFileNameSize == 76);
static_assert(sizeof(CHOOSECOLORA) == 36);
static_assert(sizeof(CHOOSEFONTA) == 60);
static_assert(sizeof(PRINTDLGA) == 66);
static_assert(sizeof(PAGESETUPDLGA) == 84);
#endif
static_assert(offsetof(DEVMODEA, dmOrientation) == devmode_offset::kOrientation);
static_assert(offsetof(DEVMODEA, dmPaperSize) == devmode_offset::kPaperSize);
static_assert(offsetof(DEVMODEA, dmCopies) == devmode_offset::kCopies);
static_assert(offsetof(DEVMODEA, dmPrintQuality) == devmode_offset::kPrintQuality);
static_assert(offsetof(DEVMODEA, dmCollate) == devmode_offset::kCollate);
static_assert(offsetof(DEVMODEA, dmFormName) == devmode_offset::kFormName);
static_assert(offsetof(DEVMODEA, dmDisplayFrequency) == devmode_offset::kDisplayFrequency);
static_assert(offsetof(DEVMODEA, dmICMMethod) == devmode_offset::kRecordSize);
static_assert(sizeof(LOGFONTA::lfFaceName) == kFaceNameBytes);

// Global memory blocks that the print dialogs allocate for the caller, freed with
// GlobalFree.
struct GlobalBlockTraits {
  using Handle = HGLOBAL;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { ::GlobalFree(handle); }
};
using UniqueGlobalBlock = win32::UniqueHandle<GlobalBlockTraits>;

// The bytes of a global memory block; none for no block.
std::vector<std::uint8_t> BlockBytes(const UniqueGlobalBlock& block) {
  if (!block) return {};
  const auto* data = static_cast<const std::uint8_t*>(::GlobalLock(block.Get()));
  if (data == nullptr) return {};
  std::vector<std::uint8_t> bytes(data, data + ::GlobalSize(block.Get()));
  ::GlobalUnlock(block.Get());
  return bytes;
}

// The ANSI text for a record member: null for an empty text.
const char* TextOrNull(const std::string& ansi) { return ansi.empty() ? nullptr : ansi.c_str(); }

// A writable ANSI buffer that starts with `text` and offers the system `capacity` bytes,
// with one more NUL behind them so that a text filling the capacity is still terminated.
std::vector<char> AnsiBuffer(std::string_view text, std::int32_t capacity) {
  const std::string ansi = ToAnsi(text);
  std::vector<char> buffer(std::max(ansi.size(), static_cast<std::size_t>(capacity)) + 1, '\0');
  std::copy(ansi.begin(), ansi.end(), buffer.begin());
  return buffer;
}

std::string TextOfBuffer(const std::vector<char>& buffer) {
  return FromAnsi(std::string_view(buffer.data(), buffer.size() - 1));
}

HWND Window(std::int32_t value) { return HandleFromValue<HWND>(value); }

RECT ToRect(const MarginRect& margins) {
  return RECT{margins.left, margins.top, margins.right, margins.bottom};
}

MarginRect FromRect(const RECT& rect) {
  return MarginRect{rect.left, rect.top, rect.right, rect.bottom};
}

std::int32_t ShowFileDialog(BOOL(WINAPI* show)(LPOPENFILENAMEA), OpenFileNameRecord& record) {
  const std::string filter = ToAnsi(record.lpstrFilter);
  const std::string initialDir = ToAnsi(record.lpstrInitialDir);
  const std::string title = ToAnsi(record.lpstrTitle);
  const std::string defaultExt = ToAnsi(record.lpstrDefExt);
  std::vector<char> file = AnsiBuffer(record.lpstrFile, record.nMaxFile);
  std::vector<char> fileTitle = AnsiBuffer(record.lpstrFileTitle, record.nMaxFileTitle);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = kOpenFileNameSize;
  dialog.hwndOwner = Window(record.hwndOwner);
  dialog.lpstrFilter = TextOrNull(filter);
  dialog.nFilterIndex = static_cast<DWORD>(record.nFilterIndex);
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(record.nMaxFile);
  dialog.lpstrFileTitle = fileTitle.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(record.nMaxFileTitle);
  dialog.lpstrInitialDir = TextOrNull(initialDir);
  dialog.lpstrTitle = TextOrNull(title);
  dialog.Flags = static_cast<DWORD>(record.Flags);
  dialog.lpstrDefExt = TextOrNull(defaultExt);

  const BOOL result = show(&dialog);
  record.lpstrFile = TextOfBuffer(file);
  record.lpstrFileTitle = TextOfBuffer(fileTitle);
  record.Flags = static_cast<std::int32_t>(dialog.Flags);
  record.nFilterIndex = static_cast<std::int32_t>(dialog.nFilterIndex);
  return result;
}

class Win32CommonDialogs final : public CommonDialogs {
 public:
  std::int32_t GetOpenFileNameA(OpenFileNameRecord& record) override {
    return ShowFileDialog(::GetOpenFileNameA, record);
  }

  std::int32_t GetSaveFileNameA(OpenFileNameRecord& record) override {
    return ShowFileDialog(::GetSaveFileNameA, record);
  }

  std::int16_t GetFileTitleA(const std::string& file, std::string& title) override {
    const std::string ansiFile = ToAnsi(file);
    const auto size = static_cast<std::int32_t>(title.size());
    std::vector<char> buffer = AnsiBuffer(title, size);
    const short result = ::GetFileTitleA(ansiFile.c_str(), buffer.data(), static_cast<WORD>(size));
    title = TextOfBuffer(buffer);
    return result;
  }

  std::int32_t CommDlgExtendedError() override {
    return static_cast<std::int32_t>(::CommDlgExtendedError());
  }

  std::int32_t ChooseColorA(ChooseColorRecord& record) override {
    COLORREF customColors[16];
    std::copy(record.lpCustColors->begin(), record.lpCustColors->end(), customColors);
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Window(record.hwndOwner);
    dialog.rgbResult = static_cast<COLORREF>(record.rgbResult);
    dialog.lpCustColors = customColors;
    dialog.Flags = static_cast<DWORD>(record.Flags);

    const BOOL result = ::ChooseColorA(&dialog);
    // The dialog updates the custom colours in place, whatever its outcome.
    std::copy(std::begin(customColors), std::end(customColors), record.lpCustColors->begin());
    record.rgbResult = static_cast<std::int32_t>(dialog.rgbResult);
    return result;
  }

  std::int32_t ChooseFontA(ChooseFontRecord& record) override {
    LOGFONTA font{};
    font.lfHeight = record.logFont.lfHeight;
    font.lfWeight = record.logFont.lfWeight;
    font.lfItalic = record.logFont.lfItalic;
    font.lfUnderline = record.logFont.lfUnderline;
    font.lfStrikeOut = record.logFont.lfStrikeOut;
    std::memcpy(font.lfFaceName, record.logFont.lfFaceName.data(), kFaceNameBytes);
    CHOOSEFONTA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Window(record.hwndOwner);
    dialog.hDC = HandleFromValue<HDC>(record.hDC);
    dialog.lpLogFont = &font;
    dialog.iPointSize = record.iPointSize;
    dialog.Flags = static_cast<DWORD>(record.Flags);
    dialog.rgbColors = static_cast<COLORREF>(record.rgbColors);
    dialog.nSizeMin = record.nSizeMin;
    dialog.nSizeMax = record.nSizeMax;

    const BOOL result = ::ChooseFontA(&dialog);
    record.logFont.lfHeight = font.lfHeight;
    record.logFont.lfWeight = font.lfWeight;
    record.logFont.lfItalic = font.lfItalic;
    record.logFont.lfUnderline = font.lfUnderline;
    record.logFont.lfStrikeOut = font.lfStrikeOut;
    std::memcpy(record.logFont.lfFaceName.data(), font.lfFaceName, kFaceNameBytes);
    record.iPointSize = dialog.iPointSize;
    record.Flags = static_cast<std::int32_t>(dialog.Flags);
    record.rgbColors = static_cast<std::int32_t>(dialog.rgbColors);
    record.nFontType = dialog.nFontType;
    return result;
  }

  std::int32_t PrintDlgA(PrintDlgRecord& record) override {
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Window(record.hwndOwner);
    dialog.Flags = static_cast<DWORD>(record.Flags);
    dialog.nFromPage = record.nFromPage;
    dialog.nToPage = record.nToPage;
    dialog.nMinPage = record.nMinPage;
    dialog.nMaxPage = record.nMaxPage;
    dialog.nCopies = record.nCopies;

    const BOOL result = ::PrintDlgA(&dialog);
    const UniqueGlobalBlock devMode(dialog.hDevMode);
    const UniqueGlobalBlock devNames(dialog.hDevNames);
    record.hDC = HandleValue(dialog.hDC);
    record.Flags = static_cast<std::int32_t>(dialog.Flags);
    record.nFromPage = dialog.nFromPage;
    record.nToPage = dialog.nToPage;
    record.nCopies = dialog.nCopies;
    record.devMode = BlockBytes(devMode);
    return result;
  }

  std::int32_t PageSetupDlgA(PageSetupDlgRecord& record) override {
    PAGESETUPDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Window(record.hwndOwner);
    dialog.Flags = static_cast<DWORD>(record.Flags);
    dialog.rtMinMargin = ToRect(record.rtMinMargin);
    dialog.rtMargin = ToRect(record.rtMargin);

    const BOOL result = ::PageSetupDlgA(&dialog);
    const UniqueGlobalBlock devMode(dialog.hDevMode);
    const UniqueGlobalBlock devNames(dialog.hDevNames);
    record.Flags = static_cast<std::int32_t>(dialog.Flags);
    record.rtMinMargin = FromRect(dialog.rtMinMargin);
    record.rtMargin = FromRect(dialog.rtMargin);
    record.devMode = BlockBytes(devMode);
    return result;
  }
};

}  // namespace

CommonDialogs& SystemCommonDialogs() {
  static Win32CommonDialogs dialogs;
  return dialogs;
}

}  // namespace platform
