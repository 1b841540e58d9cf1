#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "sim/world.h"

namespace tarn::sim {

// Decoded query values by key.
using QueryParams = std::multimap<std::string, std::string>;

inline constexpr const char* kXmlContentType = "text/xml; charset=utf-8";

struct SimResponse {
  int status = 200;
  std::string contentType;
  std::string body;
};

// Whom player_info answers with: the players asked, or on purpose someone else, so a client that
// does not check the ids it gets back is caught.
enum class PlayerAnswer {
  Asked,
  Other,  // the next player of the world's list in place of each player found
  Extra,  // the players found and the first other player of the world
};

// "/tarn/prokladko/xml_server_v2.php": the modes player_info, games_current, games_all and
// tournament_list. An unknown player gives a root without children; an unknown mode, a missing
// key or a value that is no number or date gives 400 with the reason.
SimResponse AnswerXmlInterface(const World& world, const QueryParams& query,
                               PlayerAnswer players = PlayerAnswer::Asked);
// "/tarn/get_replay.php?act=getreplay&game_id=N": "OK" for a known game, else "Error".
SimResponse AnswerReplayPreparation(const World& world, const QueryParams& query);
// "/tarn/gamereplays/game_ID_FIRST_SECOND.rep": the replay of a known game between two adjacent
// turns it has reached, else 404.
SimResponse AnswerReplayFile(const World& world, int gameId, int first, int second);
SimResponse AnswerHomePage(const World& world);
// What some servers send in place of a document: status 200 with an <error> root.
SimResponse ErrorPageAnswer();

// A game list that never ends: each call gives the next piece, the document's start first.
class EndlessGameList {
 public:
  std::string_view Next();

 private:
  int64_t nextId_ = 1;
  std::string piece_;
};

// The bytes of a replay file; the same numbers always give the same bytes.
std::string ReplayBytes(int gameId, int first, int second);

}  // namespace tarn::sim
