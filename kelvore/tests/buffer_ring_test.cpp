#include "kelvore/tool/buffer_ring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "kelvore/base/errors.h"

namespace kelvore {
namespace {

constexpr std::uint32_t kBuffers = 4;
constexpr std::size_t kBufferSize = 1000;
constexpr std::size_t kAlignment = 4096;
constexpr BufferRing::Shape kShape{kBuffers, kBufferSize, kAlignment};

// Turn n's data: 1 + n * 397 % kBufferSize bytes of the value n.
std::size_t LengthOf(std::uint64_t turn) { return 1 + turn * 397 % kBufferSize; }

void Fill(std::uint64_t turn, RingBuffer& buffer) {
  buffer.length = LengthOf(turn);
  std::fill_n(buffer.space.begin(), buffer.length, static_cast<std::byte>(turn));
}

// Whether `data` is exactly what Fill puts there for the turn.
bool HoldsTurn(std::uint64_t turn, std::span<const std::byte> data) {
  return data.size() == LengthOf(turn) &&
         std::all_of(data.begin(), data.end(),
                     [turn](std::byte b) { return b == static_cast<std::byte>(turn); });
}

std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const IoError& error) {
    return error.what();
  }
  return "no failure";
}

TEST(BufferRing, TheOwnerFillsBuffersThatTheWorkerTakesInOrder) {
  std::vector<bool> received;
  BufferRing ring(kShape, BufferRing::FirstHolder::kOwner,
                  [&received](std::uint64_t turn, RingBuffer& buffer) {
                    received.push_back(HoldsTurn(turn, buffer.Data()));
                  });
  constexpr std::uint64_t kTurns = 3 * kBuffers + 1;
  for (std::uint64_t turn = 0; turn < kTurns; ++turn) {
    Fill(turn, ring.Take());
    ring.Give();
  }
  ring.TakeAllBack();
  EXPECT_EQ(received, std::vector<bool>(kTurns, true));
}

TEST(BufferRing, TheWorkerFillsAlignedBuffersThatTheOwnerTakesInOrder) {
  BufferRing ring(kShape, BufferRing::FirstHolder::kWorker, Fill);
  for (std::uint64_t turn = 0; turn < 3 * kBuffers + 1; ++turn) {
    SCOPED_TRACE(turn);
    const RingBuffer& buffer = ring.Take();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.space.data()) % kAlignment, 0u);
    EXPECT_EQ(buffer.space.size(), kBufferSize);
    EXPECT_TRUE(HoldsTurn(turn, buffer.Data()));
    ring.Give();
  }
}

// The worker stops at its first failure, and the owner meets it however near the end of the
// work it came: on the last buffer, only taking everything back shows it.
TEST(BufferRing, TheWorkersFailureReachesTheOwnerEvenOnTheLastBuffer) {
  for (const std::uint64_t failing_turn : {std::uint64_t{2}, std::uint64_t{3 * kBuffers}}) {
    SCOPED_TRACE(failing_turn);
    std::uint64_t turns = 0;
    BufferRing ring(kShape, BufferRing::FirstHolder::kOwner,
                    [&turns, failing_turn](std::uint64_t turn, RingBuffer&) {
                      ++turns;
                      if (turn == failing_turn) throw IoError("Turn " + std::to_string(turn));
                    });
    EXPECT_EQ(FailureOf([&] {
                for (std::uint64_t turn = 0; turn <= 3 * kBuffers; ++turn) {
                  Fill(turn, ring.Take());
                  ring.Give();
                }
                ring.TakeAllBack();
              }),
              "Turn " + std::to_string(failing_turn));
    EXPECT_EQ(turns, failing_turn + 1);
  }
}

// A failure the worker met ahead of the owner waits for its turn: the buffers before it
// arrive whole first.
TEST(BufferRing, TheWorkersFailureArrivesAfterEveryBufferBeforeIt) {
  std::atomic<bool> failed{false};
  BufferRing ring(kShape, BufferRing::FirstHolder::kWorker,
                  [&failed](std::uint64_t turn, RingBuffer& buffer) {
                    if (turn == 2) {
                      failed = true;
                      throw IoError("Turn 2");
                    }
                    Fill(turn, buffer);
                  });
  while (!failed) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the failure is stored
  EXPECT_TRUE(HoldsTurn(0, ring.Take().Data()));
  ring.Give();
  EXPECT_TRUE(HoldsTurn(1, ring.Take().Data()));
  ring.Give();
  EXPECT_EQ(FailureOf([&] { ring.Take(); }), "Turn 2");
}

}  // namespace
}  // namespace kelvore
