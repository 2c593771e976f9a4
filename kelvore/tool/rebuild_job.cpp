#include "kelvore/tool/rebuild_job.h"

#include <exception>
#include <new>

#include "kelvore/disc/disc_format.h"
#include "kelvore/disc/disc_reader.h"
#include "kelvore/disc/errors.h"
#include "kelvore/disc/image_plan.h"
#include "kelvore/disc/layout.h"
#include "kelvore/disc/text_format.h"
#include "kelvore/tool/exit_codes.h"
#include "kelvore/tool/image_verifier.h"
#include "kelvore/tool/image_writer.h"
#include "kelvore/tool/output_path.h"
#include "kelvore/tool/progress_meter.h"
#include "kelvore/tool/rebuild_summary.h"

namespace kelvore {
namespace {

void ShowLines(Console& console, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) console.Line(line);
}

// Runs one pass over the plan's data with a progress line.
void RunPhase(Console& console, std::string label, std::uint64_t total,
              const InterruptFlag& interrupted,
              const std::function<void(const TransferControl&)>& work) {
  ProgressMeter meter(std::move(label), total, SteadyClock::now());
  const TransferControl control{
      .interrupted = interrupted,
      .progress =
          [&](std::uint64_t done) {
            if (auto line = meter.Update(done, SteadyClock::now())) console.Progress(*line);
          },
  };
  work(control);
  console.Line(meter.Finish(SteadyClock::now()));
}

void Rebuild(const RebuildRequest& request, const RebuildServices& services, Console& console,
             const InterruptFlag& interrupted, bool& output_started) {
  const auto source = services.open_source(request.image);
  const Disc disc = ReadDisc(*source, interrupted);
  const std::string output_path = request.output.value_or(DefaultOutputPath(request.image));
  ShowLines(console, SummaryLines(disc, request, output_path));

  const Layout layout = PlanLayout(disc, request.mode, request.options, interrupted);
  ShowLines(console, StreamingAudioLines(disc, layout, request));
  if (services.path_exists(output_path)) throw IoError(OutputExistsMessage(output_path));

  const ImagePlan plan(disc, layout, ReadBytes(*source, 0, format::kHeaderSize));
  const auto output = services.create_output(PartPathFor(output_path));
  output_started = true;
  RunPhase(console, "Writing", plan.DataBytes(), interrupted,
           [&](const TransferControl& control) { WriteImage(plan, *source, *output, control); });
  if (request.verify) {
    RunPhase(console, "Verifying", plan.DataBytes(), interrupted,
             [&](const TransferControl& control) { VerifyImage(plan, *source, *output, control); });
  }
  // Verification reads what the system still holds in memory, so it runs while the data
  // goes to the disk; only then does the image take its final name.
  console.Progress("Saving to the disk ...");
  output->Flush();
  StopIfInterrupted(interrupted);
  output->CommitAs(output_path);
  console.Line("Done: " + output_path + " (" + GroupedDecimal(plan.ImageSize()) + " bytes).");
}

}  // namespace

int RunRebuild(const RebuildRequest& request, const RebuildServices& services, Console& console,
               const InterruptFlag& interrupted) {
  bool output_started = false;
  try {
    Rebuild(request, services, console, interrupted, output_started);
    return kExitDone;
  } catch (const ImageError& error) {
    console.Error(std::string("Error: ") + error.what());
    return kExitImageRefused;
  } catch (const IoError& error) {
    console.Error(std::string("Error: ") + error.what());
  } catch (const std::bad_alloc&) {
    console.Error("Error: out of memory.");
  } catch (const std::exception& error) {
    console.Error(std::string("Error: ") + error.what());
  }
  if (output_started) console.Error("The unfinished image was removed.");
  return kExitIoFailure;
}

}  // namespace kelvore
