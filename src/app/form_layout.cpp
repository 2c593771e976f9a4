#include "app/form_layout.h"

#include <algorithm>

#include "app/twips.h"

namespace corvane::app {

const FontDescription& FontFor(FontRole role) {
  switch (role) {
    case FontRole::kBold:
      return kBoldFont;
    case FontRole::kItalic:
      return kItalicFont;
    case FontRole::kForm:
      break;
  }
  return kFormFont;
}

const ControlRow* FindControl(std::span<const ControlRow> controls, std::string_view name) {
  const auto found = std::ranges::find(controls, name, &ControlRow::name);
  return found == controls.end() ? nullptr : &*found;
}

TwipsBox ClientBox(std::span<const ControlRow> controls, const ControlRow& control) {
  TwipsBox box = control.box;
  for (const ControlRow* container = FindControl(controls, control.container); container;
       container = FindControl(controls, container->container)) {
    box.left += container->box.left;
    box.top += container->box.top;
  }
  return box;
}

PixelRect ToPixels(const TwipsBox& box, int dpi) {
  const int left = TwipsToPixels(box.left, dpi);
  const int top = TwipsToPixels(box.top, dpi);
  return {left, top, TwipsToPixels(box.left + box.width, dpi) - left,
          TwipsToPixels(box.top + box.height, dpi) - top};
}

std::vector<const ControlRow*> CreationOrder(std::span<const ControlRow> controls) {
  std::vector<const ControlRow*> order;
  for (const ControlRow& control : controls) order.push_back(&control);
  std::ranges::stable_sort(order, {}, &ControlRow::tabIndex);
  return order;
}

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::kCheckBox || kind == ControlKind::kCommandButton;
}

}  // namespace corvane::app
