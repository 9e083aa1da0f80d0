// State of the game in play: timing, mistakes, the armed solve key. The clock thread reads
// the two flags, so they are atomics; everything else is touched by the user-interface thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace punktivo {

struct GameState {
  std::atomic<bool> timedGame{false};
  std::atomic<bool> boardSolved{false};
  int16_t mistakeCount = 0;
  int armedKey = 0;  // first key of the solve sequence once released, 0 otherwise
};

}  // namespace punktivo
