#include "sim/scenario.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "sim/generator.h"

namespace tarn::sim {
namespace {

using nlohmann::json;

class ScenarioReader {
 public:
  explicit ScenarioReader(SimTime now) : now_(now) {}

  Scenario Read(const json& root) { return {ReadWorld(root), ReadFaults(root)}; }

 private:
  World ReadWorld(const json& root) const {
    World world;
    world.monitoredPlayerId = Value(root, "monitored_player", 0);
    for (const json& p : Items(root, "players")) world.AddPlayer(ReadPlayer(p));
    for (const json& t : Items(root, "tournaments")) world.tournaments.push_back(ReadTournament(t));
    for (const json& g : Items(root, "games")) world.StartGame(ReadGame(g, world));
    if (auto history = root.find("generated_history"); history != root.end()) {
      GameGenerator generator(Value(*history, "seed", 1u));
      generator.AddHistory(world, world.monitoredPlayerId, Value(*history, "count", 0),
                           Value(*history, "first_id", world.NextGameId()), now_);
    }
    return world;
  }

  static FaultMap ReadFaults(const json& root) {
    FaultMap faults;
    auto it = root.find("faults");
    if (it == root.end()) return faults;
    if (!it->is_object()) throw ScenarioError("\"faults\" is no object of key -> fault");
    for (const auto& [key, fault] : it->items()) {
      if (!fault.is_string())
        throw ScenarioError("fault of " + key + " is no text: " + fault.dump());
      try {
        faults[ParseFaultKey(key)] = ParseFault(fault.get<std::string>());
      } catch (const FaultError& error) {
        throw ScenarioError("fault of " + key + ": " + error.what());
      }
    }
    return faults;
  }

  static const json& Items(const json& object, const char* key) {
    static const json empty = json::array();
    auto it = object.find(key);
    return it == object.end() ? empty : *it;
  }

  template <class T>
  static T Value(const json& object, const char* key, T fallback) {
    auto it = object.find(key);
    return it == object.end() ? fallback : it->get<T>();
  }

  static const json& Required(const json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end())
      throw ScenarioError(std::string("missing \"") + key + "\" in " + object.dump());
    return *it;
  }

  SimTime Time(const json& object, const char* key) const {
    auto it = object.find(key);
    if (it == object.end()) return now_;
    const std::string text = it->get<std::string>();
    std::optional<SimTime> time = ParseScenarioTime(text, now_);
    if (!time) throw ScenarioError("\"" + std::string(key) + "\" is no time: " + text);
    return *time;
  }

  SimPlayer ReadPlayer(const json& j) const {
    SimPlayer p;
    p.id = Required(j, "id").get<int>();
    p.alias = Required(j, "alias").get<std::string>();
    p.name = Value(j, "name", p.alias);
    p.country = Value(j, "country", p.country);
    p.email = Value(j, "email", p.email);
    p.userType = Value(j, "user_type", p.userType);
    p.lastLogin = Time(j, "last_login");
    p.statScore = Value(j, "stat_score", p.statScore);
    p.statWins = Value(j, "stat_wins", p.statWins);
    p.statLooses = Value(j, "stat_looses", p.statLooses);
    p.statDrawns = Value(j, "stat_drawns", p.statDrawns);
    p.countryCode = Value(j, "country_code", p.countryCode);
    p.regDate = Time(j, "reg_date");
    p.playerOccupation = Value(j, "player_occupation", p.playerOccupation);
    p.scoreExp = Value(j, "score_exp", p.scoreExp);
    p.scoreGlicko = Value(j, "score_glicko", p.scoreGlicko);
    p.placeGlicko = Value(j, "place_glicko", p.placeGlicko);
    p.placeExp = Value(j, "place_exp", p.placeExp);
    p.statActive = Value(j, "stat_active", p.statActive);
    p.avatarState = Value(j, "avatar_state", p.avatarState);
    p.gender = Value(j, "gender", p.gender);
    p.addInfo = Value(j, "add_info", p.addInfo);
    return p;
  }

  SimTournament ReadTournament(const json& j) const {
    SimTournament t;
    t.id = Required(j, "id").get<int>();
    t.name = Value(j, "name", t.name);
    t.lastUpdated = Time(j, "last_updated");
    t.defaultWinScore = Value(j, "default_win_score", t.defaultWinScore);
    t.type = Value(j, "type", t.type);
    t.startDate = Time(j, "start_date");
    t.acceptPlayers = Value(j, "accept_players", t.acceptPlayers);
    t.status = Value(j, "status", t.status);
    for (const json& m : Items(j, "moderators")) {
      t.moderators.push_back({Required(m, "id").get<int>(), Value(m, "alias", std::string())});
    }
    return t;
  }

  SimGame ReadGame(const json& j, const World& world) const {
    SimGame g;
    g.id = Required(j, "id").get<int>();
    g.planet = Required(j, "planet").get<std::string>();
    g.startTime = Time(j, "start");
    g.activeDeadline = Time(j, "active_deadline");
    g.passiveRemainingTime = Value(j, "passive_remaining_time", g.passiveRemainingTime);
    if (auto id = j.find("tournament"); id != j.end()) {
      const SimTournament* known = world.FindTournament(id->get<int>());
      g.tournament = SimTournamentRef{id->get<int>(), known ? known->name : std::string()};
    }
    g.tourney = Value(j, "tourney", g.tournament.has_value());
    g.mentorGame = Value(j, "mentor", g.mentorGame);
    g.ratingGame = Value(j, "rating", g.ratingGame);
    g.useChessClock = Value(j, "chess_clock", g.useChessClock);
    g.booleansAsWords = Value(j, "bool_words", g.booleansAsWords);
    g.unitSet = Value(j, "unit_set", g.unitSet);
    g.revenueTurnsCount = Value(j, "revenue_turns", g.revenueTurnsCount);
    g.alliesDensityCode = Value(j, "allies_density", g.alliesDensityCode);
    g.ingameTimeLeft = Value(j, "ingame_time_left", g.ingameTimeLeft);
    g.turnLimitDays = Value(j, "turn_limit_days", g.turnLimitDays);
    g.freezeHours = Value(j, "freeze_hours", g.freezeHours);
    const json& players = Required(j, "players");
    if (!players.is_array() || players.size() != 2) {
      throw ScenarioError("game " + std::to_string(g.id) + " needs two players");
    }
    for (size_t i = 0; i < 2; ++i) {
      const json& p = players[i];
      g.players[i] = {Required(p, "id").get<int>(), Required(p, "side").get<std::string>(),
                      Value(p, "status", int(kRunning)), Value(p, "turn", 0), Time(p, "turn_date")};
    }
    return g;
  }

  SimTime now_;
};

}  // namespace

Scenario ParseScenario(std::string_view text, SimTime now) {
  try {
    return ScenarioReader(now).Read(json::parse(text));
  } catch (const std::exception& error) {  // JSON, world and scenario errors alike
    throw ScenarioError(std::string("Bad scenario: ") + error.what());
  }
}

Scenario LoadScenario(const std::filesystem::path& file, SimTime now) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw ScenarioError("Cannot read scenario " + file.string());
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return ParseScenario(text.str(), now);
  } catch (const ScenarioError& error) {
    throw ScenarioError(file.string() + ": " + error.what());
  }
}

World DemoWorld(SimTime now) { return ParseScenario(DemoScenarioText(), now).world; }

}  // namespace tarn::sim
