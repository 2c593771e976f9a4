#include "kelvore/tool/image_batch.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_encoding.h"
#include "kelvore/tool/exit_codes.h"

namespace kelvore {
namespace {

constexpr std::string_view kErrorPrefix = "Error: ";

// The line of a game whose images are `game` (indices into `outcomes`): which images are
// which disc, up to the highest, and which discs below it no image is. Empty for a game whose
// images are all first discs.
std::string SetLine(const std::vector<ImageOutcome>& outcomes,
                    const std::vector<std::size_t>& game) {
  unsigned highest = 0;
  for (const std::size_t i : game) {
    highest = std::max<unsigned>(highest, outcomes[i].disc->disc_number);
  }
  if (highest == 0) return {};
  const DiscIdentity& first = *outcomes[game.front()].disc;
  std::string line =
      "  " + ShownText(first.id6, EncodingOfGameCode(first.id6)) + " \"" + ShownTitle(first) + "\"";
  for (unsigned disc_number = 0; disc_number <= highest; ++disc_number) {
    line += disc_number == 0 ? ": disc 1: " : "; disc " + std::to_string(disc_number + 1) + ": ";
    std::size_t count = 0;
    for (const std::size_t i : game) {
      if (outcomes[i].disc->disc_number != disc_number) continue;
      line += count++ == 0 ? "image " : ", ";
      line += std::to_string(i + 1);
    }
    if (count == 0) line += "missing";
  }
  return line;
}

// The images whose disc was checked and that came out well form sets by their ID6, which
// holds the maker too: discs of different makers never pair, whatever their titles.
void ShowSets(Console& console, const std::vector<ImageOutcome>& outcomes) {
  std::vector<std::vector<std::size_t>> games;  // each game's images, in order of appearance
  bool any_disc = false;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const std::optional<DiscIdentity>& disc = outcomes[i].disc;
    any_disc = any_disc || disc;
    if (!disc || outcomes[i].exit_code != kExitDone) continue;
    auto game = std::find_if(games.begin(), games.end(), [&](const std::vector<std::size_t>& g) {
      return outcomes[g.front()].disc->id6 == disc->id6;
    });
    if (game == games.end()) {
      games.push_back({i});
    } else {
      game->push_back(i);
    }
  }
  if (!any_disc) return;
  bool listed = false;
  for (const std::vector<std::size_t>& game : games) {
    const std::string line = SetLine(outcomes, game);
    if (line.empty()) continue;
    if (!listed) console.Line("Two-disc sets:");
    listed = true;
    console.Line(line);
  }
  if (!listed) console.Line("Two-disc sets: none.");
}

// "7 images: 5 rebuilt, 1 failed, 1 not done", the statuses in the order they first came.
std::string Counts(const std::vector<ImageOutcome>& outcomes, std::size_t image_count) {
  std::string text = CountOf(image_count, "image") + ":";
  const char* separator = " ";
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const std::string& status = outcomes[i].status;
    const auto same = [&status](const ImageOutcome& other) { return other.status == status; };
    if (std::any_of(outcomes.begin(), outcomes.begin() + i, same)) continue;
    text += separator + std::to_string(std::count_if(outcomes.begin() + i, outcomes.end(), same)) +
            " " + status;
    separator = ", ";
  }
  if (outcomes.size() < image_count) {
    text += separator + std::to_string(image_count - outcomes.size()) + " not done";
  }
  return text;
}

void ShowSummary(Console& console, const std::vector<NamedImage>& images,
                 const std::vector<ImageOutcome>& outcomes) {
  console.Line("");
  console.Line("Summary of " + Counts(outcomes, images.size()) + ".");
  for (std::size_t i = 0; i < images.size(); ++i) {
    const std::string& what =
        i < outcomes.size() ? outcomes[i].text : "not done, as the run was interrupted";
    console.Line("  " + std::to_string(i + 1) + ". " + Printable(images[i].path) + ": " + what);
  }
  ShowSets(console, outcomes);
}

ImageOutcome Refused(const NamedImage& entry, Console& console) {
  console.Error(std::string(kErrorPrefix) + entry.error);
  return {.exit_code = kExitIoFailure, .status = "failed", .text = "failed: " + entry.error};
}

}  // namespace

void ErrorKeepingConsole::Error(std::string_view text) {
  if (first_error_.empty()) {
    first_error_ = text.starts_with(kErrorPrefix) ? text.substr(kErrorPrefix.size()) : text;
  }
  target_.Error(text);
}

int RunOverImages(const std::vector<NamedImage>& images, const ImageStep& step, Console& console,
                  const InterruptFlag& interrupted) {
  std::vector<ImageOutcome> outcomes;
  int exit_code = kExitDone;
  for (std::size_t i = 0; i < images.size() && !interrupted.load(); ++i) {
    if (i > 0) console.Line("");
    console.Line("Image " + std::to_string(i + 1) + " of " + std::to_string(images.size()) + ": " +
                 Printable(images[i].path));
    outcomes.push_back(images[i].error.empty() ? step(images[i].path, console)
                                               : Refused(images[i], console));
    exit_code = WorseExitCode(exit_code, outcomes.back().exit_code);
  }
  ShowSummary(console, images, outcomes);
  return interrupted.load() ? WorseExitCode(exit_code, kExitIoFailure) : exit_code;
}

}  // namespace kelvore
