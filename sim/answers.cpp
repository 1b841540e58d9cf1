#include "sim/answers.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

#include "sim/documents.h"

namespace tarn::sim {
namespace {

constexpr const char* kTextType = "text/plain; charset=utf-8";

SimResponse Xml(std::string body) { return {200, kXmlContentType, std::move(body)}; }
SimResponse BadRequest(std::string reason) { return {400, kTextType, std::move(reason) + "\n"}; }

std::optional<std::string> Param(const QueryParams& query, const std::string& key) {
  auto it = query.find(key);
  if (it == query.end()) return std::nullopt;
  return it->second;
}

std::optional<int> ToInt(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// The ids of a "1,2,3" list, or nothing when one of them is no number.
std::optional<std::vector<int>> ToIdList(std::string_view text) {
  std::vector<int> ids;
  while (true) {
    const size_t comma = text.find(',');
    std::optional<int> id = ToInt(text.substr(0, comma));
    if (!id) return std::nullopt;
    ids.push_back(*id);
    if (comma == std::string_view::npos) return ids;
    text.remove_prefix(comma + 1);
  }
}

// The players a faulty server answers with in place of those found.
std::vector<const SimPlayer*> Answered(const World& world, std::vector<const SimPlayer*> found,
                                       PlayerAnswer answer) {
  switch (answer) {
    case PlayerAnswer::Asked:
      break;
    case PlayerAnswer::Other:
      // In a world of one player the next one is the same.
      for (const SimPlayer*& player : found) {
        player = &world.players[size_t(player - world.players.data() + 1) % world.players.size()];
      }
      break;
    case PlayerAnswer::Extra:
      for (const SimPlayer& player : world.players) {
        if (std::find(found.begin(), found.end(), &player) == found.end()) {
          found.push_back(&player);
          break;
        }
      }
      break;
  }
  return found;
}

SimResponse PlayerInfo(const World& world, const QueryParams& query, PlayerAnswer answer) {
  std::vector<const SimPlayer*> found;
  if (auto alias = Param(query, "user_name")) {
    if (const SimPlayer* player = world.FindPlayerByAlias(*alias)) found.push_back(player);
  } else if (auto idText = Param(query, "user_id")) {
    std::optional<std::vector<int>> ids = ToIdList(*idText);
    if (!ids) return BadRequest("user_id is not a list of numbers: " + *idText);
    for (int id : *ids) {
      if (const SimPlayer* player = world.FindPlayer(id)) found.push_back(player);
    }
  } else {
    return BadRequest("player_info needs user_name or user_id");
  }
  return Xml(PlayerInfoDocument(Answered(world, std::move(found), answer)));
}

SimResponse Games(const World& world, const QueryParams& query, bool includeFinished) {
  const SimPlayer* player = nullptr;
  if (auto alias = Param(query, "user_name")) {
    player = world.FindPlayerByAlias(*alias);
  } else if (auto idText = Param(query, "user_id")) {
    std::optional<int> id = ToInt(*idText);
    if (!id) return BadRequest("user_id is not a number: " + *idText);
    player = world.FindPlayer(*id);
  } else {
    return BadRequest("a game list needs user_name or user_id");
  }
  std::optional<SimTime> from;
  if (auto fromText = Param(query, "fromdate")) {
    from = ParseServerTime(*fromText);
    if (!from) return BadRequest("fromdate is not a date: " + *fromText);
  }
  std::vector<const SimGame*> games;
  if (player) {
    for (const SimGame& game : world.games) {
      if (!game.Find(player->id) || (game.Finished() && !includeFinished)) continue;
      if (from && game.startTime < *from && game.LastTurn() < *from) continue;
      games.push_back(&game);
    }
  }
  return Xml(GamesDocument(world, games));
}

}  // namespace

SimResponse AnswerXmlInterface(const World& world, const QueryParams& query, PlayerAnswer players) {
  const std::string mode = Param(query, "mode").value_or("");
  if (mode == "player_info") return PlayerInfo(world, query, players);
  if (mode == "games_current") return Games(world, query, false);
  if (mode == "games_all") return Games(world, query, true);
  if (mode == "tournament_list") return Xml(TournamentListDocument(world.tournaments));
  return BadRequest("unknown mode: " + mode);
}

SimResponse AnswerReplayPreparation(const World& world, const QueryParams& query) {
  std::optional<int> gameId = ToInt(Param(query, "game_id").value_or(""));
  const bool known = Param(query, "act") == "getreplay" && gameId && world.FindGame(*gameId);
  return {200, kTextType, known ? "OK" : "Error"};
}

SimResponse AnswerReplayFile(const World& world, int gameId, int first, int second) {
  const SimGame* game = world.FindGame(gameId);
  const int reached = game ? std::max(game->players[0].turn, game->players[1].turn) + 1 : -1;
  const bool exists = game && first >= 0 && second >= 0 && first <= reached && second <= reached &&
                      std::abs(first - second) <= 1;
  if (!exists) return {404, kTextType, "No such replay\n"};
  return {200, "application/octet-stream", ReplayBytes(gameId, first, second)};
}

SimResponse AnswerHomePage(const World& world) {
  const SimPlayer* monitored = world.FindPlayer(world.monitoredPlayerId);
  std::string body =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>TARN</title></head><body>\n"
      "<h1>TARN game server (simulated)</h1>\n<p>" +
      std::to_string(world.players.size()) + " players, " + std::to_string(world.games.size()) +
      " games, " + std::to_string(world.tournaments.size()) + " tournaments.</p>\n";
  if (monitored) {
    body += "<p><a href=\"/tarn/prokladko/xml_server_v2.php?mode=games_current&amp;user_id=" +
            std::to_string(monitored->id) + "\">Current games of player " +
            std::to_string(monitored->id) + "</a></p>\n";
  }
  body += "</body></html>\n";
  return {200, "text/html; charset=utf-8", std::move(body)};
}

SimResponse ErrorPageAnswer() { return Xml("<error code=\"500\">Internal server error</error>"); }

std::string_view EndlessGameList::Next() {
  piece_.clear();
  if (nextId_ == 1) piece_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<games>\n";
  for (int i = 0; i < 200; ++i, ++nextId_) {
    piece_ += "<game id=\"" + std::to_string(nextId_) +
              "\" start_time=\"2008-06-01 12:00:00\" activeDeadline=\"2008-06-04 12:00:00\" "
              "passiveRemainingTime=\"0\" tourney=\"0\"/>\n";
  }
  return piece_;
}

std::string ReplayBytes(int gameId, int first, int second) {
  std::string bytes = "TARN replay of game " + std::to_string(gameId) + ", turns " +
                      std::to_string(first) + "-" + std::to_string(second) + "\n";
  std::mt19937 random(uint32_t(gameId) * 2654435761u ^ uint32_t(first) * 40503u ^ uint32_t(second));
  const size_t size = 2048 + size_t(gameId % 1024);
  while (bytes.size() < size) bytes += char(random() & 0xFF);
  return bytes;
}

}  // namespace tarn::sim
