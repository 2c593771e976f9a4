#pragma once

#include "support/message_error.h"

namespace kelvore {

// The image cannot be rebuilt as asked: it is not a disc image, it is damaged, or its data does
// not fit the chosen image size. The tool exits with code 2.
class ImageError : public corvane::MessageError {
 public:
  using MessageError::MessageError;
};

// Reading or writing failed, the output is in the way, the new image did not read back as
// written, or the user interrupted the run. The tool exits with code 3.
class IoError : public corvane::MessageError {
 public:
  using MessageError::MessageError;
};

// The dump list that images are checked against cannot be used: it is not well-formed XML,
// not a dump list, a list for another system or with nothing to match, or a zip archive. The
// tool exits with code 1, as for a command line it cannot follow.
class DumpListError : public corvane::MessageError {
 public:
  using MessageError::MessageError;
};

// The new image is complete under its final name, but something after the naming failed
// (its unfinished name could not be removed, or its folder not flushed). The tool exits
// with code 3 and leaves the finished image in place.
class FinishedImageError : public IoError {
 public:
  using IoError::IoError;
};

}  // namespace kelvore
