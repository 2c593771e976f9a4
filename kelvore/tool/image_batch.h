#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kelvore/base/interruption.h"
#include "kelvore/tool/console.h"
#include "kelvore/tool/game_folders.h"
#include "kelvore/tool/image_words.h"

namespace kelvore {

// What became of one image of a run: its exit code, and what the summary says of it.
struct ImageOutcome {
  int exit_code = 0;
  std::string_view status = {};  // what the summary counts, a literal: "rebuilt", "failed"
  std::string text = {};         // its line in the summary: "rebuilt to PATH", "failed: why"
  std::optional<DiscIdentity> disc = {};  // what the disc is, where its header was checked
};

// Everything a run does to one image, reporting on `console` as a run over one image does.
// Each kind of run has its step: rebuilding, reporting, and whatever else a run may check an
// image for.
using ImageStep = std::function<ImageOutcome(const std::string& image, Console& console)>;

// Does `step` to each image in turn, each under a line "Image 2 of 7: PATH"; an entry that
// names no image fails with its error. Keeps only the small outcome of each, so the memory
// stays bounded however many images there are. Stops before the next image once
// `interrupted` is set. Then prints the summary: each image and what became of it, the counts,
// and which images form two-disc sets or a set that lacks a disc. Returns the worst exit code
// of the images (see WorseExitCode), and 3 for an interrupted run.
int RunOverImages(const std::vector<NamedImage>& images, const ImageStep& step, Console& console,
                  const InterruptFlag& interrupted);

// A console that passes everything on to `target` and keeps the first error, without its
// "Error: ", for the summary.
class ErrorKeepingConsole : public Console {
 public:
  explicit ErrorKeepingConsole(Console& target) : target_(target) {}

  void Line(std::string_view text) override { target_.Line(text); }
  void Progress(std::string_view text) override { target_.Progress(text); }
  void Error(std::string_view text) override;
  std::optional<LostOutput> CheckOutput() override { return target_.CheckOutput(); }

  const std::string& FirstError() const { return first_error_; }

 private:
  Console& target_;
  std::string first_error_;
};

}  // namespace kelvore
