// State of the game in play, owned by the play session. The clock thread reads the
// two flags, so they are atomics; everything else is touched by the user-interface thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace app {

struct GameState {
  std::atomic<bool> timedGame{false};
  std::atomic<bool> boardSolved{false};
  int16_t mistakeCount = 0;
  int armedKey = 0;  // first key of the solve sequence once released, 0 otherwise
};

}  // namespace app
