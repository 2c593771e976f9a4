#include "dialogs/dialog_error.h"

#include "platform/executable.h"
#include "support/error.h"

namespace corvane::dialog_error {

std::string VBErrorSource() { return platform::SystemExecutable().Name() + ".VBError"; }

void RaiseDialogError(std::int32_t number) {
  if (number <= 1000) throw Error(number, VBErrorSource());
  throw Error(ToObjectError(number), platform::SystemExecutable().Name() + ".CommonDialog", "");
}

}  // namespace corvane::dialog_error
