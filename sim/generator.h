#pragma once

#include <cstdint>
#include <random>

#include "sim/world.h"

namespace tarn::sim {

// Makes up games; the same random engine state gives the same games on every platform.
class GameGenerator {
 public:
  explicit GameGenerator(uint32_t seed) : random_(seed) {}

  // A new running game of `playerId` against another player of the world, started at `start`.
  SimGame NewGame(const World& world, int playerId, int gameId, SimTime start);
  // A final status for a player: mostly wins and defeats, some draws.
  int FinalStatus();
  // Adds `count` finished games of `playerId`, the newest ending a day before `now`, ids from
  // `firstId` on.
  void AddHistory(World& world, int playerId, int count, int firstId, SimTime now);

  // A number from 0 to n - 1.
  uint32_t Below(uint32_t n) { return uint32_t(random_() % n); }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

 private:
  std::mt19937 random_;
};

}  // namespace tarn::sim
