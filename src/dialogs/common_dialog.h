#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dialogs/choose_dialog_args.h"
#include "dialogs/device_mode.h"
#include "dialogs/file_dialog_args.h"
#include "dialogs/print_dialog_args.h"
#include "platform/common_dialogs.h"
#include "platform/dialog_defaults.h"

namespace corvane {

// The system's common dialogs behind methods with named, optional parameters. Each dialog
// method takes one argument struct (the parameters with their defaults), shows the modal
// dialog, writes its results back into the struct and returns true when the user confirmed
// the dialog. Cancelling is no error: the method returns false, and APIReturn and
// ExtendedError tell a cancel (extended error 0) from a failure (the system's code).
// Invalid arguments raise error 5, values that do not fit their field error 6, before any
// dialog is shown.
class cCommonDialog {
 public:
#if defined(_WIN32)
  // Over the system's dialogs.
  cCommonDialog();
#endif
  cCommonDialog(platform::CommonDialogs& dialogs, platform::DialogDefaults& defaults);

  // The system's raw return value of the last dialog call.
  std::int32_t APIReturn() const { return apiReturn_; }
  // The system's extended error code of the last failed dialog call, or 0.
  std::int32_t ExtendedError() const { return extendedError_; }

  // The open-file dialog. Raises 5 for a Filename or FileTitle of more than 260 characters
  // and 6 for a Filter of 32,767 characters or more.
  bool VBGetOpenFileName(OpenFileNameArgs& args);
  // The save-file dialog, with the errors of the open-file dialog.
  bool VBGetSaveFileName(SaveFileNameArgs& args);
  // The title the system forms for the named file ("disc.gcm"), or empty when it cannot.
  // Leaves APIReturn and ExtendedError alone.
  std::string VBGetFileTitle(const std::string& sFile);

  // The colour dialog. The sixteen custom colours persist on this object; a cancel or
  // failure gives Color -1.
  bool VBChooseColor(ChooseColorArgs& args);
  // Custom colour i (0 to 15), the system colours until set; -1 for any other index.
  std::int32_t CustomColor(std::int16_t i);
  // Sets custom colour i; any index outside 0 to 15 is ignored.
  void CustomColor(std::int16_t i, std::int32_t iValue);

  // The font dialog. PrinterDC and flags are adjusted before the dialog whatever its
  // outcome; the chosen font is written into CurFont, whose errors pass to the caller.
  bool VBChooseFont(ChooseFontArgs& args);

  // The print dialog, starting from the default printer. Raises 6 for page numbers outside
  // -32,768 to 32,767. A confirmed dialog's settings are kept (StoredDevMode) and assigned
  // to the Printer object, when given.
  bool VBPrintDlg(PrintDlgArgs& args);
  // The page-setup dialog, starting from the default printer. Raises 6 when a margin in
  // thousandths of an inch or hundredths of a millimetre leaves the 32-bit range. It cannot
  // tell a failure from a cancel: APIReturn and ExtendedError stay 0.
  bool VBPageSetupDlg(PageSetupDlgArgs& args);

  // The printer settings of the last confirmed print dialog, all zero before one.
  DeviceMode StoredDevMode() const { return DecodeDeviceMode(storedDevMode_); }

 private:
  void ResetStatus();
  // Records a dialog function's return value; true when the user confirmed. A return of 0
  // is a cancel when the system reports no extended error, a failure otherwise; only a
  // failure stores its extended error.
  bool ClassifyReturn(std::int32_t returnValue);
  void InitCustomColors();

  platform::CommonDialogs& dialogs_;
  platform::DialogDefaults& defaults_;
  std::array<std::int32_t, 16> customColors_{};
  bool customColorsReady_ = false;
  std::int32_t apiReturn_ = 0;
  std::int32_t extendedError_ = 0;
  DeviceModeBytes storedDevMode_{};
};

}  // namespace corvane
