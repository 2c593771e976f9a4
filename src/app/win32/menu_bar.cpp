#include "app/win32/menu_bar.h"

#include "platform/win32/wide_text.h"

namespace corvane::app::win32 {
namespace {

using platform::win32::UniqueMenu;
using platform::win32::Widen;

UniqueMenu BuildMenu(std::span<const MenuEntry> entries, std::string_view parent) {
  UniqueMenu menu(::CreatePopupMenu());
  for (const MenuEntry& entry : entries) {
    if (entry.parent != parent) continue;
    if (entry.caption == kMenuSeparator) {
      ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    } else {
      ::AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(entry.id),
                    Widen(entry.caption).c_str());
    }
  }
  return menu;
}

}  // namespace

UniqueMenu BuildMenuBar(std::span<const MenuEntry> entries) {
  UniqueMenu bar(::CreateMenu());
  for (const MenuEntry& entry : entries) {
    if (!entry.parent.empty()) continue;
    UniqueMenu menu = BuildMenu(entries, entry.name);
    // Appended, the menu belongs to the bar.
    if (::AppendMenuW(bar.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(menu.Get()),
                      Widen(entry.caption).c_str())) {
      menu.Release();
    }
  }
  return bar;
}

}  // namespace corvane::app::win32
