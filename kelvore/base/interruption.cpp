#include "kelvore/base/interruption.h"

#include "kelvore/base/errors.h"

namespace kelvore {

const InterruptFlag& NeverInterrupted() {
  static const InterruptFlag never{false};
  return never;
}

void StopIfInterrupted(const InterruptFlag& interrupted) {
  if (interrupted.load(std::memory_order_relaxed)) throw IoError("Interrupted.");
}

}  // namespace kelvore
