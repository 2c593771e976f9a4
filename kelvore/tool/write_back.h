#pragma once

#include <cstdint>
#include <optional>

#include "kelvore/tool/output_file.h"

namespace kelvore {

// Written data goes to the storage in windows of this size, each started as soon as it is
// written and waited for once the next one is: one window takes under a second even on a
// disk of 20 MB/s, so the progress shown follows the disk, not the system's cache, and an
// interruption is honoured within about a second.
inline constexpr std::uint64_t kWriteBackWindow = 16 * 1024 * 1024;

// Follows the written data, which grows in ascending offsets, and starts and waits for its
// write-back window by window.
class WriteBack {
 public:
  explicit WriteBack(OutputFile& output) : output_(output) {}

  // `count` bytes were just written, ending at offset `end`.
  void Written(std::uint64_t end, std::uint64_t count);

  // Waits for everything written.
  void Finish();

 private:
  struct Window {
    std::uint64_t offset;
    std::uint64_t length;
  };

  void StartWindow();
  void WaitForPrevious();

  OutputFile& output_;
  std::uint64_t begin_ = 0;    // where the window being written starts
  std::uint64_t end_ = 0;      // the end of what was written last
  std::uint64_t pending_ = 0;  // bytes written in this window
  std::optional<Window> previous_;
};

}  // namespace kelvore
