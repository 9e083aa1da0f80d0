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
  // A hint was shown in this timed game: its time does not go to the hall of fame.
  bool hintShown = false;
};

}  // namespace punktivo
