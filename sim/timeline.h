#pragma once

#include <cstdint>

#include "sim/generator.h"
#include "sim/world.h"

namespace tarn::sim {

// The life of the monitored player's games, one step at a time: mostly a competitor moves,
// sometimes the player answers, now and then a game ends and a new one starts.
class Timeline {
 public:
  explicit Timeline(uint32_t seed) : generator_(seed) {}
  void Step(World& world, SimTime now);

 private:
  GameGenerator generator_;
};

}  // namespace tarn::sim
