#include "app/form_layout.h"

#include <algorithm>

#include "app/twips.h"

namespace corvane::app {

const FontSpec& FontFor(FontRole role) {
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

const ControlSpec* FindControl(std::span<const ControlSpec> controls, std::string_view name) {
  const auto found = std::ranges::find(controls, name, &ControlSpec::name);
  return found == controls.end() ? nullptr : &*found;
}

TwipsBox ClientBox(std::span<const ControlSpec> controls, const ControlSpec& control) {
  TwipsBox box = control.box;
  for (const ControlSpec* container = FindControl(controls, control.container); container;
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

std::vector<const ControlSpec*> CreationOrder(std::span<const ControlSpec> controls) {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& control : controls) order.push_back(&control);
  std::ranges::stable_sort(order, {}, &ControlSpec::tabIndex);
  return order;
}

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::kCheckBox || kind == ControlKind::kCommandButton;
}

}  // namespace corvane::app
