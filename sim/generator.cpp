#include "sim/generator.h"

#include <array>

namespace tarn::sim {
namespace {

using namespace std::chrono;

constexpr std::array<const char*, 28> kMapIds = {
    "altalim",      "antarcticus", "anubis",      "beotorum", "bizarria",     "brimstone",
    "butterfly",    "crateus",     "eden",        "emerald",  "inferno",      "iron",
    "island",       "lions eye",   "micronesia",  "midgard",  "new paradise", "noble rust",
    "san fernando", "swamp",       "switzerland", "trinity",  "twin islands", "v6",
    "v6 demo",      "wasserland",  "demoland",    "aurora"};

}  // namespace

SimGame GameGenerator::NewGame(const World& world, int playerId, int gameId, SimTime start) {
  std::vector<int> others;
  for (const SimPlayer& p : world.players) {
    if (p.id != playerId) others.push_back(p.id);
  }
  if (!world.FindPlayer(playerId) || others.empty()) {
    throw WorldError("A game of player " + std::to_string(playerId) +
                     " needs that player and another one");
  }
  SimGame game;
  game.id = gameId;
  game.startTime = start;
  game.planet = kMapIds[Below(kMapIds.size())];
  game.turnLimitDays = int(1 + Below(5));
  game.freezeHours = int(Below(3) * 6);
  game.activeDeadline = start + days(game.turnLimitDays);
  game.passiveRemainingTime = int(Below(7) * 3600);
  game.mentorGame = Chance(5);
  game.ratingGame = Chance(80);
  game.useChessClock = Chance(30);
  game.ingameTimeLeft = game.useChessClock ? int(3600 + Below(72) * 3600) : 0;
  game.booleansAsWords = Chance(10);
  game.unitSet = int(Below(3));
  game.revenueTurnsCount = int(Below(6));
  game.alliesDensityCode = int(Below(4));
  if (!world.tournaments.empty() && Chance(25)) {
    const SimTournament& t = world.tournaments[Below(uint32_t(world.tournaments.size()))];
    game.tournament = SimTournamentRef{t.id, t.name};
    game.tourney = true;
  }
  const int competitor = others[Below(uint32_t(others.size()))];
  const bool playerFirst = Chance(50);
  const bool playerIsPl = Chance(50);
  SimGamePlayer own{playerId, playerIsPl ? "pl" : "fnu", kRunning, 0, start};
  SimGamePlayer other{competitor, playerIsPl ? "fnu" : "pl", kRunning, 0, start};
  game.players = playerFirst ? std::array{own, other} : std::array{other, own};
  return game;
}

int GameGenerator::FinalStatus() {
  const uint32_t roll = Below(100);
  if (roll < 45) return kWon;
  if (roll < 55) return kDrawn;
  if (roll < 75) return kLost;
  if (roll < 90) return kResigned;
  return kTimedOut;
}

void GameGenerator::AddHistory(World& world, int playerId, int count, int firstId, SimTime now) {
  for (int i = 0; i < count; ++i) {
    // About one game every three days, oldest first, so ids grow with time.
    const SimTime start = now - days(3 * (count - i) + 1) + hours(Below(24));
    SimGame game = NewGame(world, playerId, firstId + i, start);
    const int plTurns = int(5 + Below(75));
    for (SimGamePlayer& p : game.players) {
      p.turn = p.side == "pl" ? plTurns : plTurns - int(Below(2));
      p.turnDate = start + hours(12 * p.turn) + minutes(Below(600));
    }
    // Every final status appears, whatever the seed.
    const int status = i < kTimedOut - kRunning ? kWon + i : FinalStatus();
    for (SimGamePlayer& p : game.players) {
      p.status = p.playerId == playerId ? status : OpponentStatus(status);
    }
    world.StartGame(std::move(game));
  }
}

}  // namespace tarn::sim
