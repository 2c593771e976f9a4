#include "kelvore/tool/progress_meter.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kelvore {
namespace {

constexpr int kBarWidth = 20;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
constexpr auto kMinimumInterval = std::chrono::milliseconds(100);

std::string Minutes(double seconds) {
  const long whole = static_cast<long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

std::string FormatProgressLine(std::string_view label, std::uint64_t done, std::uint64_t total,
                               SteadyClock::duration elapsed) {
  const double fraction = total == 0 ? 1.0 : std::min(1.0, double(done) / double(total));
  const int filled = static_cast<int>(fraction * kBarWidth);
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '-');

  const double seconds = std::chrono::duration<double>(elapsed).count();
  const double rate = seconds > 0 ? double(done) / seconds : 0.0;
  std::string speed = "   -- MB/s";
  std::string remaining = done >= total ? Minutes(seconds) + " total" : "-:-- left";
  if (rate > 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%6.1f MB/s", rate / kBytesPerMegabyte);
    speed = text;
    if (done < total) remaining = Minutes(double(total - done) / rate) + " left";
  }

  char line[160];
  std::snprintf(line, sizeof line, "%-9.*s [%s] %3d%%  %s  %s", static_cast<int>(label.size()),
                label.data(), bar.c_str(), static_cast<int>(fraction * 100), speed.c_str(),
                remaining.c_str());
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

}  // namespace kelvore
