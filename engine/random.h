// random(n): the one source of chance of the game, seedable so a game can be replayed.
#pragma once

#include <cstdint>
#include <random>

namespace punktivo {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A uniform integer 0 .. n-1, a fresh draw on every call; 0 when n < 1.
  virtual int random(int n) = 0;
};

class SeededRandom final : public RandomSource {
 public:
  explicit SeededRandom(uint64_t seed) : engine_(seed) {}
  int random(int n) override {
    if (n < 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(engine_);
  }
  void reseed(uint64_t seed) { engine_.seed(seed); }

 private:
  std::mt19937_64 engine_;
};

}  // namespace punktivo
