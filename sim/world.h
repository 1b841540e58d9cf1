#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/server_time.h"

namespace tarn::sim {

// A player's status in a game, as the server reports it.
enum GameStatus : int {
  kRunning = 1,
  kWon = 2,
  kDrawn = 3,
  kLost = 4,
  kResigned = 5,
  kTimedOut = 6
};

struct SimPlayer {
  int id = 0;
  std::string alias, name, country, email;
  int userType = 1;
  SimTime lastLogin{};
  int statScore = 0, statWins = 0, statLooses = 0, statDrawns = 0;
  int countryCode = 0;
  SimTime regDate{};
  std::string playerOccupation = "0";
  int scoreExp = 0;
  std::string scoreGlicko = "1500.0";
  int placeGlicko = 0, placeExp = 0, statActive = 0;
  std::string avatarState = "0", gender = "m", addInfo;
};

struct SimGamePlayer {
  int playerId = 0;
  std::string side;  // "pl" moves first, then "fnu"
  int status = kRunning;
  int turn = 0;
  SimTime turnDate{};
};

struct SimTournamentRef {
  int id = 0;
  std::string name;
};

struct SimGame {
  int id = 0;
  SimTime startTime{};
  SimTime activeDeadline{};
  int passiveRemainingTime = 0;
  bool tourney = false;
  bool mentorGame = false, ratingGame = true, useChessClock = false;
  bool booleansAsWords = false;  // the server writes some flags as "true"/"false"
  int unitSet = 0, revenueTurnsCount = 0, alliesDensityCode = 0, ingameTimeLeft = 0;
  int turnLimitDays = 3, freezeHours = 0;
  std::string planet;
  std::optional<SimTournamentRef> tournament;
  std::array<SimGamePlayer, 2> players;

  bool Finished() const { return players[0].status != kRunning; }
  const SimGamePlayer* Find(int playerId) const;
  SimTime LastTurn() const;
  // Index of the player to move: "pl" when both turn counters are equal, else "fnu".
  size_t ToMove() const;
};

struct SimModerator {
  int id = 0;
  std::string alias;
};

struct SimTournament {
  int id = 0;
  std::string name;
  SimTime lastUpdated{};
  int defaultWinScore = 0;
  std::string type;
  SimTime startDate{};
  int acceptPlayers = 0;
  int status = 0;
  std::vector<SimModerator> moderators;
};

// A request the world cannot carry out, such as moving in an unknown game.
class WorldError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Everything the simulated server knows. Games are kept in id order.
struct World {
  int monitoredPlayerId = 0;
  std::vector<SimPlayer> players;
  std::vector<SimGame> games;
  std::vector<SimTournament> tournaments;

  const SimPlayer* FindPlayer(int id) const;
  const SimPlayer* FindPlayerByAlias(std::string_view alias) const;
  SimGame& GetGame(int gameId);
  const SimGame* FindGame(int gameId) const;
  const SimTournament* FindTournament(int id) const;
  int NextGameId() const;

  // Turn moves of the monitored player's competitor, or of the monitored player, in a running game.
  void MoveCompetitor(int gameId, SimTime now = SimNow());
  void MoveOwn(int gameId, SimTime now = SimNow());
  // Ends a running game with `status` for `playerId`; the other player gets the matching result.
  void FinishGame(int gameId, int playerId, int status, SimTime now = SimNow());
  // Adds a game; its id must be new and both players known. Returns the id.
  int StartGame(SimGame game);
  // Adds a player, or replaces the player with the same id.
  void AddPlayer(SimPlayer player);
};

// The result the other player of a finished game gets.
int OpponentStatus(int status);

}  // namespace tarn::sim
