#pragma once

#include <string>

#include "sim/world.h"

namespace tarn::testing {

// A player of a simulated world with the attributes the tests look at.
sim::SimPlayer MakePlayer(int id, const std::string& alias, const std::string& glicko = "1500.0");

// A running game started three days ago: `first` plays `firstSide`, `second` the other side,
// both at turn 4, the first moved five hours ago and the second three.
sim::SimGame MakeGame(int id, int first, const std::string& firstSide, int second,
                      const std::string& planet);

// alpha (42, monitored) plays beta on Eden ("pl") and gamma on Lion's Eye ("fnu"); delta has no
// game yet; the server lists tournaments 15, 1 and 77.
sim::World AlphaWorld();

}  // namespace tarn::testing
