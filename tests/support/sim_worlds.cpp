#include "support/sim_worlds.h"

#include <chrono>

namespace tarn::testing {

using namespace std::chrono_literals;

sim::SimPlayer MakePlayer(int id, const std::string& alias, const std::string& glicko) {
  sim::SimPlayer p;
  p.id = id;
  p.alias = alias;
  // Appended rather than added: GCC 12 warns falsely (-Wrestrict) about operator+ here.
  p.name = "Name of ";
  p.name += alias;
  p.scoreGlicko = glicko;
  p.gender = "1";
  return p;
}

sim::SimGame MakeGame(int id, int first, const std::string& firstSide, int second,
                      const std::string& planet) {
  const sim::SimTime now = sim::SimNow();
  sim::SimGame g;
  g.id = id;
  g.planet = planet;
  g.startTime = now - 72h;
  g.activeDeadline = now + 24h;
  g.players[0] = {first, firstSide, sim::kRunning, 4, now - 5h};
  g.players[1] = {second, firstSide == "pl" ? "fnu" : "pl", sim::kRunning, 4, now - 3h};
  return g;
}

sim::World AlphaWorld() {
  sim::World w;
  w.monitoredPlayerId = 42;
  for (auto p : {MakePlayer(42, "alpha", "1700.5"), MakePlayer(7, "beta"),
                 MakePlayer(8, "gamma", "1600"), MakePlayer(9, "delta")}) {
    w.AddPlayer(p);
  }
  w.StartGame(MakeGame(100, 42, "pl", 7, "eden"));
  w.StartGame(MakeGame(101, 8, "pl", 42, "lions eye"));
  for (const int id : {15, 1, 77}) {
    sim::SimTournament t;
    t.id = id;
    t.name = "Cup " + std::to_string(id);
    w.tournaments.push_back(t);
  }
  return w;
}

}  // namespace tarn::testing
