#include "dialogs/common_dialog.h"

namespace corvane {

cCommonDialog::cCommonDialog()
    : cCommonDialog(platform::SystemCommonDialogs(), platform::SystemDialogDefaults()) {}

}  // namespace corvane
