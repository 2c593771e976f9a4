#include "kelvore/tool/progress_meter.h"

#include <algorithm>
#include <utility>

#include "kelvore/base/message_format.h"
#include "support/fixed_decimal.h"

namespace kelvore {
namespace {

constexpr int kBarWidth = 20;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
constexpr auto kMinimumInterval = std::chrono::milliseconds(100);
constexpr std::size_t kLongestLine = 159;

// `text` preceded by spaces up to `width` characters.
std::string AlignRight(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// `text` followed by spaces up to `width` characters.
std::string AlignLeft(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string Minutes(double seconds) {
  const long whole = static_cast<long>(seconds + 0.5);
  const long minutes = whole / 60;
  const long rest = whole % 60;
  return Joined(
      {std::to_string(minutes), rest >= 0 && rest < 10 ? ":0" : ":", std::to_string(rest)});
}

}  // namespace

std::string FormatProgressLine(std::string_view label, std::uint64_t done, std::uint64_t total,
                               SteadyClock::duration elapsed) {
  const double fraction = total == 0 ? 1.0 : std::min(1.0, double(done) / double(total));
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string bar(kBarWidth, '-');
  bar.replace(0, filled, filled, '#');

  const double seconds = std::chrono::duration<double>(elapsed).count();
  const double rate = seconds > 0 ? double(done) / seconds : 0.0;
  std::string speed = "   -- MB/s";
  std::string remaining = done >= total ? Joined({Minutes(seconds), " total"}) : "-:-- left";
  if (rate > 0) {
    speed = Joined({AlignRight(corvane::FixedDecimal(rate / kBytesPerMegabyte, 1), 6), " MB/s"});
    if (done < total) remaining = Joined({Minutes(double(total - done) / rate), " left"});
  }

  const std::string percent = Joined({std::to_string(static_cast<int>(fraction * 100)), "%"});
  std::string line = Joined({AlignLeft(std::string(label), 9), " [", bar, "] ",
                             AlignRight(percent, 4), "  ", speed, "  ", remaining});
  if (line.size() > kLongestLine) line.resize(kLongestLine);
  return line;
}

ProgressMeter::ProgressMeter(std::string label, std::uint64_t total, SteadyClock::time_point start)
    : label_(std::move(label)), total_(total), start_(start) {}

std::optional<std::string> ProgressMeter::Update(std::uint64_t done, SteadyClock::time_point now) {
  if (last_shown_ && now - *last_shown_ < kMinimumInterval) return std::nullopt;
  last_shown_ = now;
  return FormatProgressLine(label_, done, total_, now - start_);
}

std::string ProgressMeter::Finish(SteadyClock::time_point now) const {
  return FormatProgressLine(label_, total_, total_, now - start_);
}

void RunWithProgress(Console& console, std::string label, std::uint64_t total,
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

}  // namespace kelvore
