#pragma once

#include <cstdint>

// The flag bits of comdlg32's dialog records that the class composes or reads, with the
// system's values.
namespace corvane::dialog_flags {

// OPENFILENAMEA.Flags
inline constexpr std::int32_t kOfnReadOnly = 0x1;
inline constexpr std::int32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::int32_t kOfnHideReadOnly = 0x4;
inline constexpr std::int32_t kOfnEnableHook = 0x20;
inline constexpr std::int32_t kOfnEnableTemplate = 0x40;
inline constexpr std::int32_t kOfnAllowMultiSelect = 0x200;
inline constexpr std::int32_t kOfnFileMustExist = 0x1000;

// CHOOSECOLORA.Flags
inline constexpr std::int32_t kCcRgbInit = 0x1;
inline constexpr std::int32_t kCcFullOpen = 0x2;
inline constexpr std::int32_t kCcPreventFullOpen = 0x4;
inline constexpr std::int32_t kCcEnableHook = 0x10;
inline constexpr std::int32_t kCcEnableTemplate = 0x20;
inline constexpr std::int32_t kCcSolidColor = 0x80;
inline constexpr std::int32_t kCcAnyColor = 0x100;

// CHOOSEFONTA.Flags and nFontType
inline constexpr std::int32_t kCfScreenFonts = 0x1;
inline constexpr std::int32_t kCfPrinterFonts = 0x2;
inline constexpr std::int32_t kCfEnableHook = 0x8;
inline constexpr std::int32_t kCfEnableTemplate = 0x10;
inline constexpr std::int32_t kCfInitToLogFontStruct = 0x40;
inline constexpr std::int32_t kCfEffects = 0x100;
inline constexpr std::int32_t kCfApply = 0x200;
inline constexpr std::int32_t kCfLimitSize = 0x2000;
inline constexpr std::int32_t kBoldFontType = 0x100;

// PRINTDLGA.Flags
inline constexpr std::int32_t kPdSelection = 0x1;
inline constexpr std::int32_t kPdPageNums = 0x2;
inline constexpr std::int32_t kPdNoSelection = 0x4;
inline constexpr std::int32_t kPdNoPageNums = 0x8;
inline constexpr std::int32_t kPdCollate = 0x10;
inline constexpr std::int32_t kPdPrintToFile = 0x20;
inline constexpr std::int32_t kPdNoWarning = 0x80;
inline constexpr std::int32_t kPdReturnDc = 0x100;
inline constexpr std::int32_t kPdEnablePrintHook = 0x1000;
inline constexpr std::int32_t kPdEnableSetupHook = 0x2000;
inline constexpr std::int32_t kPdEnablePrintTemplate = 0x4000;
inline constexpr std::int32_t kPdEnableSetupTemplate = 0x8000;
inline constexpr std::int32_t kPdUseDevModeCopiesAndCollate = 0x40000;
inline constexpr std::int32_t kPdDisablePrintToFile = 0x80000;
inline constexpr std::int32_t kPdHidePrintToFile = 0x100000;

// PAGESETUPDLGA.Flags
inline constexpr std::int32_t kPsdMinMargins = 0x1;
inline constexpr std::int32_t kPsdMargins = 0x2;
inline constexpr std::int32_t kPsdInThousandthsOfInches = 0x4;
inline constexpr std::int32_t kPsdInHundredthsOfMillimeters = 0x8;
inline constexpr std::int32_t kPsdDisableMargins = 0x10;
inline constexpr std::int32_t kPsdDisablePrinter = 0x20;
inline constexpr std::int32_t kPsdDisableOrientation = 0x100;
inline constexpr std::int32_t kPsdDisablePaper = 0x200;
inline constexpr std::int32_t kPsdEnablePageSetupHook = 0x2000;
inline constexpr std::int32_t kPsdEnablePageSetupTemplate = 0x8000;
inline constexpr std::int32_t kPsdEnablePagePaintHook = 0x40000;

}  // namespace corvane::dialog_flags
