#include "sim/documents.h"

#include <chrono>

namespace tarn::sim {
namespace {

// Writes elements and attributes straight into one string; values are escaped.
class XmlWriter {
 public:
  explicit XmlWriter(size_t sizeHint) {
    text_.reserve(sizeHint);
    text_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  }

  XmlWriter& Start(std::string_view name) {
    text_ += '<';
    text_ += name;
    return *this;
  }
  XmlWriter& Attr(std::string_view name, std::string_view value) {
    text_ += ' ';
    text_ += name;
    text_ += "=\"";
    for (char c : value) {
      switch (c) {
        case '&':
          text_ += "&amp;";
          break;
        case '<':
          text_ += "&lt;";
          break;
        case '>':
          text_ += "&gt;";
          break;
        case '"':
          text_ += "&quot;";
          break;
        case '\'':
          text_ += "&apos;";
          break;
        default:
          text_ += c;
      }
    }
    text_ += '"';
    return *this;
  }
  XmlWriter& Attr(std::string_view name, int value) { return Attr(name, std::to_string(value)); }
  XmlWriter& Attr(std::string_view name, SimTime value) {
    return Attr(name, FormatServerTime(value));
  }
  XmlWriter& Flag(std::string_view name, bool value, bool asWords) {
    if (asWords) return Attr(name, value ? "true" : "false");
    return Attr(name, value ? "1" : "0");
  }
  void EndEmpty() { text_ += "/>\n"; }
  void EndStart() { text_ += ">\n"; }
  void Close(std::string_view name) {
    text_ += "</";
    text_ += name;
    text_ += ">\n";
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// The server's turn limit text: days after 2000-01-01 and freeze hours as the time of day.
std::string TurnLimitText(int days, int freezeHours) {
  using namespace std::chrono;
  const sys_seconds base = sys_days(year(2000) / January / 1);
  return FormatTimeText(base + std::chrono::days(days) + hours(freezeHours));
}

void WritePlayer(XmlWriter& xml, const SimPlayer& p) {
  xml.Start("player")
      .Attr("id", p.id)
      .Attr("name", p.name)
      .Attr("country", p.country)
      .Attr("email", p.email)
      .Attr("alias", p.alias)
      .Attr("user_type", p.userType)
      .Attr("last_login", p.lastLogin)
      .Attr("stat_score", p.statScore)
      .Attr("stat_wins", p.statWins)
      .Attr("stat_looses", p.statLooses)
      .Attr("stat_drawns", p.statDrawns)
      .Attr("country_code", p.countryCode)
      .Attr("reg_date", p.regDate)
      .Attr("player_occupation", p.playerOccupation)
      .Attr("score_exp", p.scoreExp)
      .Attr("score_glicko", p.scoreGlicko)
      .Attr("place_glicko", p.placeGlicko)
      .Attr("place_exp", p.placeExp)
      .Attr("stat_active", p.statActive)
      .Attr("avatar_state", p.avatarState)
      .Attr("gender", p.gender)
      .Attr("add_info", p.addInfo)
      .EndEmpty();
}

void WriteGame(XmlWriter& xml, const World& world, const SimGame& g) {
  const bool words = g.booleansAsWords;
  xml.Start("game")
      .Attr("id", g.id)
      .Attr("start_time", g.startTime)
      .Attr("activeDeadline", g.activeDeadline)
      .Attr("passiveRemainingTime", g.passiveRemainingTime)
      .Flag("tourney", g.tourney, words)
      .EndStart();
  xml.Start("settings")
      .Flag("mentorGame", g.mentorGame, words)
      .Flag("ratingGame", g.ratingGame, words)
      .Flag("useChessClock", g.useChessClock, words)
      .Attr("unitSet", g.unitSet)
      .Attr("revenue_turns_count", g.revenueTurnsCount)
      .Attr("alliesDensityCode", g.alliesDensityCode)
      .Attr("ingame_time_left", g.ingameTimeLeft)
      .Attr("turn_limit", TurnLimitText(g.turnLimitDays, g.freezeHours))
      .Attr("planet", g.planet)
      .EndEmpty();
  if (g.tournament) {
    xml.Start("tournament")
        .Attr("id", g.tournament->id)
        .Attr("name", g.tournament->name)
        .EndEmpty();
  }
  for (const SimGamePlayer& p : g.players) {
    const SimPlayer* player = world.FindPlayer(p.playerId);
    xml.Start("player")
        .Attr("id", p.playerId)
        .Attr("side", p.side)
        .Attr("alias", player ? player->alias : std::string())
        .Attr("status", p.status)
        .Attr("turn", p.turn)
        .Attr("turn_date", p.turnDate)
        .EndEmpty();
  }
  xml.Close("game");
}

void WriteTournament(XmlWriter& xml, const SimTournament& t) {
  xml.Start("tournament")
      .Attr("id", t.id)
      .Attr("name", t.name)
      .Attr("lastUpdated", t.lastUpdated)
      .Attr("default_win_score", t.defaultWinScore)
      .Attr("type", t.type)
      .Attr("start_date", t.startDate)
      .Attr("accept_players", t.acceptPlayers)
      .Attr("status", t.status);
  if (t.moderators.empty()) {
    xml.EndEmpty();
    return;
  }
  xml.EndStart();
  for (const SimModerator& m : t.moderators) {
    xml.Start("moderator").Attr("id", m.id).Attr("alias", m.alias).EndEmpty();
  }
  xml.Close("tournament");
}

template <class Items, class WriteItem>
std::string Document(std::string_view root, const Items& items, size_t bytesPerItem,
                     WriteItem writeItem) {
  XmlWriter xml(64 + items.size() * bytesPerItem);
  xml.Start(root).EndStart();
  for (const auto& item : items) writeItem(xml, item);
  xml.Close(root);
  return xml.Take();
}

}  // namespace

std::string PlayerInfoDocument(const std::vector<const SimPlayer*>& players) {
  return Document("players", players, 600,
                  [](XmlWriter& xml, const SimPlayer* p) { WritePlayer(xml, *p); });
}

std::string GamesDocument(const World& world, const std::vector<const SimGame*>& games) {
  return Document("games", games, 700,
                  [&world](XmlWriter& xml, const SimGame* g) { WriteGame(xml, world, *g); });
}

std::string TournamentListDocument(const std::vector<SimTournament>& tournaments) {
  return Document("tournaments", tournaments, 300,
                  [](XmlWriter& xml, const SimTournament& t) { WriteTournament(xml, t); });
}

}  // namespace tarn::sim
