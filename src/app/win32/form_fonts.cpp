#include "app/win32/form_fonts.h"

#include <algorithm>

#include "app/twips.h"

namespace corvane::app::win32 {
namespace {

platform::win32::UniqueFont CreateFormFont(const FontDescription& description, int dpi) {
  LOGFONTW font{};
  // A negative height asks for that character height, without the internal leading.
  font.lfHeight = -PointsToPixels(description.hundredthsOfPoint, dpi);
  font.lfWeight = description.weight;
  font.lfItalic = description.italic ? TRUE : FALSE;
  font.lfCharSet = static_cast<BYTE>(description.charSet);
  font.lfOutPrecision = OUT_TT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::copy(description.face.begin(), description.face.end(), font.lfFaceName);
  return platform::win32::UniqueFont(::CreateFontIndirectW(&font));
}

}  // namespace

FormFonts::FormFonts(int dpi)
    : form_(CreateFormFont(FontFor(FontRole::kForm), dpi)),
      bold_(CreateFormFont(FontFor(FontRole::kBold), dpi)),
      italic_(CreateFormFont(FontFor(FontRole::kItalic), dpi)) {}

HFONT FormFonts::For(FontRole role) const {
  switch (role) {
    case FontRole::kBold:
      return bold_.Get();
    case FontRole::kItalic:
      return italic_.Get();
    case FontRole::kForm:
      break;
  }
  return form_.Get();
}

}  // namespace corvane::app::win32
