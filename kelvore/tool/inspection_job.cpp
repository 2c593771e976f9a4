#include "kelvore/tool/inspection_job.h"

#include "kelvore/disc/disc_reader.h"
#include "kelvore/tool/disc_report.h"
#include "kelvore/tool/exit_codes.h"

namespace kelvore {

int RunInspection(const InspectRequest& request, const RebuildServices& services, Console& console,
                  const InterruptFlag& interrupted) {
  return ExitCodeOf(console, [&] {
    const auto source = services.open_source(request.image);
    if (request.info) {
      ShowDiscReport(console, ReadDisc(*source, interrupted), request.image, interrupted);
    }
  });
}

}  // namespace kelvore
