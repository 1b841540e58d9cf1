#include "sim/world.h"

#include <algorithm>

namespace tarn::sim {
namespace {

template <class Items>
auto FindById(Items& items, int id) -> decltype(&items.front()) {
  auto it =
      std::find_if(items.begin(), items.end(), [id](const auto& item) { return item.id == id; });
  return it == items.end() ? nullptr : &*it;
}

SimGamePlayer& Entry(SimGame& game, bool monitored, int monitoredPlayerId) {
  for (SimGamePlayer& player : game.players) {
    if ((player.playerId == monitoredPlayerId) == monitored) return player;
  }
  throw WorldError("Game " + std::to_string(game.id) + " is not a game of player " +
                   std::to_string(monitoredPlayerId));
}

void Move(SimGame& game, SimGamePlayer& player, SimTime now) {
  if (game.Finished()) throw WorldError("Game " + std::to_string(game.id) + " has finished");
  ++player.turn;
  player.turnDate = now;
}

}  // namespace

const SimGamePlayer* SimGame::Find(int playerId) const {
  for (const SimGamePlayer& player : players) {
    if (player.playerId == playerId) return &player;
  }
  return nullptr;
}

size_t SimGame::ToMove() const {
  const SimGamePlayer& first = players[0].side == "pl" ? players[0] : players[1];
  const bool firstToMove = players[0].turn == players[1].turn;
  return (&first == &players[0]) == firstToMove ? 0 : 1;
}

SimTime SimGame::LastTurn() const { return std::max(players[0].turnDate, players[1].turnDate); }

int OpponentStatus(int status) {
  switch (status) {
    case kWon:
      return kLost;
    case kLost:
    case kResigned:
    case kTimedOut:
      return kWon;
    default:
      return status;
  }
}

const SimPlayer* World::FindPlayer(int id) const { return FindById(players, id); }

const SimPlayer* World::FindPlayerByAlias(std::string_view alias) const {
  auto it = std::find_if(players.begin(), players.end(),
                         [alias](const SimPlayer& player) { return player.alias == alias; });
  return it == players.end() ? nullptr : &*it;
}

SimGame& World::GetGame(int gameId) {
  SimGame* game = FindById(games, gameId);
  if (!game) throw WorldError("No game " + std::to_string(gameId));
  return *game;
}

const SimGame* World::FindGame(int gameId) const { return FindById(games, gameId); }

const SimTournament* World::FindTournament(int id) const { return FindById(tournaments, id); }

int World::NextGameId() const { return games.empty() ? 1 : games.back().id + 1; }

void World::MoveCompetitor(int gameId, SimTime now) {
  SimGame& game = GetGame(gameId);
  Move(game, Entry(game, false, monitoredPlayerId), now);
}

void World::MoveOwn(int gameId, SimTime now) {
  SimGame& game = GetGame(gameId);
  Move(game, Entry(game, true, monitoredPlayerId), now);
}

void World::FinishGame(int gameId, int playerId, int status, SimTime now) {
  if (status < kWon || status > kTimedOut) {
    throw WorldError("Not a final status: " + std::to_string(status));
  }
  SimGame& game = GetGame(gameId);
  if (game.Finished()) throw WorldError("Game " + std::to_string(gameId) + " has finished");
  if (!game.Find(playerId)) {
    throw WorldError("Player " + std::to_string(playerId) + " does not play game " +
                     std::to_string(gameId));
  }
  for (SimGamePlayer& player : game.players) {
    player.status = player.playerId == playerId ? status : OpponentStatus(status);
  }
  // The player to move ended the game.
  game.players[game.ToMove()].turnDate = now;
}

int World::StartGame(SimGame game) {
  if (FindGame(game.id)) throw WorldError("Game " + std::to_string(game.id) + " exists already");
  for (const SimGamePlayer& player : game.players) {
    if (!FindPlayer(player.playerId)) {
      throw WorldError("Game " + std::to_string(game.id) + " names unknown player " +
                       std::to_string(player.playerId));
    }
  }
  auto at = std::lower_bound(games.begin(), games.end(), game.id,
                             [](const SimGame& g, int id) { return g.id < id; });
  return games.insert(at, std::move(game))->id;
}

void World::AddPlayer(SimPlayer player) {
  if (SimPlayer* existing = FindById(players, player.id)) {
    *existing = std::move(player);
  } else {
    players.push_back(std::move(player));
  }
}

}  // namespace tarn::sim
