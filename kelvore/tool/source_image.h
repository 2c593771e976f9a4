#pragma once

#include <functional>
#include <memory>
#include <string>

#include "kelvore/disc/byte_source.h"

namespace kelvore {

// The image being rebuilt, opened as a file: its bytes, and what tells it apart from other
// files and from a later state of itself.
class SourceImage : public ByteSource {
 public:
  // Whether `path` names this very file (the same device and inode, or volume and file
  // index), by whatever name: Corvane passes short 8.3 names.
  virtual bool IsFileAt(const std::string& path) const = 0;

  // Whether its size, last-write time or status-change time differs from when it was
  // opened: its bytes may then differ from those read before. The status-change time moves
  // on any change to the file, also one that leaves the bytes alone (its permissions, a new
  // link), and a writer cannot set it back.
  virtual bool ChangedSinceOpened() const = 0;
};

// Opens the image at `path` for reading.
using SourceOpener = std::function<std::unique_ptr<SourceImage>(const std::string& path)>;

}  // namespace kelvore
