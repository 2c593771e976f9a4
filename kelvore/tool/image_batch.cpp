#include "kelvore/tool/image_batch.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <utility>

#include "kelvore/base/message_format.h"
#include "kelvore/disc/disc_encoding.h"
#include "kelvore/tool/exit_codes.h"

namespace kelvore {
namespace {

constexpr std::string_view kErrorPrefix = "Error: ";

// The image's number in the run, counted from 1, and its outcome.
struct NumberedOutcome {
  std::size_t number;
  const ImageOutcome* outcome;
};

std::string ShownId6(const DiscIdentity& disc) {
  return ShownText(disc.id6, EncodingOfGameCode(disc.id6));
}

// "3", "3 and 5", "3, 5 and 8".
std::string NumberList(const std::vector<std::size_t>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) text += i + 1 == numbers.size() ? " and " : ", ";
    text += std::to_string(numbers[i]);
  }
  return text;
}

// The line of a game of several discs: which image is which disc, and the discs below the
// highest that no image is. Nothing for a game whose discs are all first discs.
std::optional<std::string> SetLine(const std::vector<NumberedOutcome>& discs) {
  std::map<std::uint8_t, std::vector<std::size_t>> images_of_disc;
  for (const NumberedOutcome& disc : discs) {
    images_of_disc[disc.outcome->disc->disc_number].push_back(disc.number);
  }
  const std::uint8_t highest = images_of_disc.rbegin()->first;
  if (highest == 0) return std::nullopt;
  const DiscIdentity& first = *discs.front().outcome->disc;
  std::string line = "  " + ShownId6(first) + " \"" + ShownTitle(first) + "\": ";
  std::vector<std::size_t> missing;
  for (unsigned disc_number = 0; disc_number < highest; ++disc_number) {
    if (!images_of_disc.contains(static_cast<std::uint8_t>(disc_number))) {
      missing.push_back(disc_number + 1);
    }
  }
  for (const auto& [disc_number, numbers] : images_of_disc) {
    if (disc_number != images_of_disc.begin()->first) line += ", ";
    line += "disc " + std::to_string(disc_number + 1) +
            (numbers.size() == 1 ? " is image " : " is images ") + NumberList(numbers);
  }
  if (missing.size() == 1) line += "; disc " + NumberList(missing) + " is missing";
  if (missing.size() > 1) line += "; discs " + NumberList(missing) + " are missing";
  return line;
}

// The images whose disc was checked and that came out well form sets by their ID6, which
// holds the maker too: discs of different makers never pair, whatever their titles.
void ShowSets(Console& console, const std::vector<ImageOutcome>& outcomes) {
  std::vector<std::pair<std::string, std::vector<NumberedOutcome>>>
      games;  // in order of appearance
  bool any_disc = false;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const ImageOutcome& outcome = outcomes[i];
    if (!outcome.disc) continue;
    any_disc = true;
    if (outcome.exit_code != kExitDone) continue;
    auto game = std::find_if(games.begin(), games.end(),
                             [&outcome](const auto& g) { return g.first == outcome.disc->id6; });
    if (game == games.end()) game = games.insert(games.end(), {outcome.disc->id6, {}});
    game->second.push_back({i + 1, &outcome});
  }
  if (!any_disc) return;
  std::vector<std::string> lines;
  for (const auto& [id6, discs] : games) {
    if (auto line = SetLine(discs)) lines.push_back(std::move(*line));
  }
  if (lines.empty()) return console.Line("Two-disc sets: none.");
  console.Line("Two-disc sets:");
  for (const std::string& line : lines) console.Line(line);
}

// "7 images: 5 rebuilt, 1 failed, 1 not done", the statuses in the order they first came.
std::string Counts(const std::vector<ImageOutcome>& outcomes, std::size_t image_count) {
  std::vector<std::pair<std::string, std::size_t>> counts;
  for (const ImageOutcome& outcome : outcomes) {
    auto count = std::find_if(counts.begin(), counts.end(),
                              [&outcome](const auto& c) { return c.first == outcome.status; });
    if (count == counts.end()) count = counts.insert(counts.end(), {outcome.status, 0});
    ++count->second;
  }
  if (outcomes.size() < image_count) counts.emplace_back("not done", image_count - outcomes.size());
  std::string text = CountOf(image_count, "image") + ":";
  for (std::size_t i = 0; i < counts.size(); ++i) {
    text += (i == 0 ? " " : ", ") + std::to_string(counts[i].second) + " " + counts[i].first;
  }
  return text;
}

void ShowSummary(Console& console, const std::vector<NamedImage>& images,
                 const std::vector<ImageOutcome>& outcomes) {
  console.Line("");
  console.Line("Summary of " + Counts(outcomes, images.size()) + ".");
  for (std::size_t i = 0; i < images.size(); ++i) {
    const std::string what =
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
