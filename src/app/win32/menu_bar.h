#pragma once

#include <span>

#include "app/main_layout.h"
#include "platform/win32/unique_handle.h"

namespace corvane::app::win32 {

// A menu bar made from a menu table: each entry without a parent is a menu of the bar, the
// others are its entries in table order.
platform::win32::UniqueMenu BuildMenuBar(std::span<const MenuEntry> entries);

}  // namespace corvane::app::win32
