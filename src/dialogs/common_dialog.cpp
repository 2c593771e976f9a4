#include "dialogs/common_dialog.h"

namespace corvane {

cCommonDialog::cCommonDialog(platform::CommonDialogs& dialogs, platform::DialogDefaults& defaults)
    : dialogs_(dialogs), defaults_(defaults) {}

void cCommonDialog::ResetStatus() {
  apiReturn_ = 0;
  extendedError_ = 0;
}

bool cCommonDialog::ClassifyReturn(std::int32_t returnValue) {
  apiReturn_ = returnValue;
  if (returnValue == 1) return true;
  // The dialog functions return 0 for a failure as well as for a cancel; only the
  // extended error tells them apart. A cancel leaves ExtendedError as it was.
  const std::int32_t extendedError = dialogs_.CommDlgExtendedError();
  if (extendedError != 0) extendedError_ = extendedError;
  return false;
}

}  // namespace corvane
