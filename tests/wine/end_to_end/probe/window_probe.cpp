// The window probe: a hook procedure that Corvane's GUI thread runs for every message sent
// to its windows. It answers the tests' questions, asked with a registered message, about
// what can only be read inside Corvane's process.
#include <windows.h>

#include <commctrl.h>

#include <cwchar>

#include "probe_exchange.h"

namespace {

void Append(wchar_t* text, const wchar_t* more) {
  std::wcsncat(text, more, 2047 - std::wcslen(text));
}

void DescribeMenu(HMENU menu, wchar_t* text) {
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t caption[256] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    item.dwTypeData = caption;
    item.cch = 255;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
    if (i > 0) Append(text, L"|");
    Append(text, (item.fType & MFT_SEPARATOR) ? L"-" : caption);
    // A separator is always drawn grayed.
    if ((item.fState & MFS_DISABLED) && !(item.fType & MFT_SEPARATOR)) Append(text, L"(disabled)");
    if (item.fState & MFS_CHECKED) Append(text, L"(checked)");
    if (item.hSubMenu) {
      Append(text, L"{");
      DescribeMenu(item.hSubMenu, text);
      Append(text, L"}");
    }
  }
}

struct TooltipSearch {
  HWND owner;
  HWND control;
  wchar_t* text;
};

BOOL CALLBACK FindTooltipText(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TooltipSearch*>(parameter);
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  if (std::wcscmp(className, TOOLTIPS_CLASSW) != 0) return TRUE;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = search->owner;
  tool.uId = reinterpret_cast<UINT_PTR>(search->control);
  tool.lpszText = search->text;
  ::SendMessageW(window, TTM_GETTEXTW, 2047, reinterpret_cast<LPARAM>(&tool));
  return search->text[0] == 0;
}

const wchar_t* IconName(HWND box) {
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    if (icon == ::LoadIconW(nullptr, IDI_ERROR)) return L"error";
    if (icon == ::LoadIconW(nullptr, IDI_INFORMATION)) return L"information";
    if (icon == ::LoadIconW(nullptr, IDI_WARNING)) return L"warning";
    if (icon == ::LoadIconW(nullptr, IDI_QUESTION)) return L"question";
    return L"other";
  }
  return L"none";
}

void DescribeIcon(HWND window, WPARAM which, const wchar_t* name, wchar_t* text) {
  const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0));
  ICONINFO info{};
  BITMAP bitmap{};
  wchar_t description[64] = L"none";
  if (icon && ::GetIconInfo(icon, &info)) {
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    std::swprintf(description, 64, L"%dx%d", bitmap.bmWidth, bitmap.bmHeight);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
  }
  Append(text, name);
  Append(text, description);
}

// Loads a DLL by its bare name, as the system's own libraries load theirs, and tells which
// file that was.
void DescribeDllByName(const wchar_t* name, wchar_t* text) {
  const HMODULE module = ::LoadLibraryW(name);
  if (!module) return Append(text, L"none");
  ::GetModuleFileNameW(module, text, 2047);
  ::FreeLibrary(module);
}

void Answer(probe::Exchange& exchange) {
  const auto window = reinterpret_cast<HWND>(exchange.window);
  wchar_t asked[MAX_PATH] = {};
  std::wcsncpy(asked, exchange.text, MAX_PATH - 1);
  exchange.text[0] = 0;
  switch (exchange.question) {
    case probe::Question::kFont: {
      const auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
      exchange.font = {};
      ::GetObjectW(font, sizeof exchange.font, &exchange.font);
      break;
    }
    case probe::Question::kMenu:
      DescribeMenu(::GetMenu(window), exchange.text);
      break;
    case probe::Question::kTooltip: {
      TooltipSearch search{window, reinterpret_cast<HWND>(exchange.control), exchange.text};
      ::EnumThreadWindows(::GetCurrentThreadId(), FindTooltipText,
                          reinterpret_cast<LPARAM>(&search));
      break;
    }
    case probe::Question::kMessageBoxIcon:
      Append(exchange.text, IconName(window));
      break;
    case probe::Question::kWindowIcons:
      DescribeIcon(window, ICON_BIG, L"big ", exchange.text);
      DescribeIcon(window, ICON_SMALL, L", small ", exchange.text);
      break;
    case probe::Question::kDllByName:
      DescribeDllByName(asked, exchange.text);
      break;
  }
  exchange.answered = 1;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    CorvaneProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT ask = ::RegisterWindowMessageW(probe::kAskMessageName);
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == ask) {
    if (HANDLE memory = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, probe::kSharedMemoryName)) {
      if (void* view = ::MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof(probe::Exchange))) {
        Answer(*static_cast<probe::Exchange*>(view));
        ::UnmapViewOfFile(view);
      }
      ::CloseHandle(memory);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
