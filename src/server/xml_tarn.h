#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/date_time.h"
#include "base/records.h"
#include "platform/xml.h"

namespace tarn {

class Dialogs;
class TFormDBMonitor;

// What a server client talks to: the document loader, the message boxes, the store holder
// (time zone, Players, CurrentGames, Tournaments) and the server's host.
struct ServerContext {
  XmlLoader& loader;
  Dialogs& dialogs;
  TFormDBMonitor& db;
  std::string host;
};

// Which game list Create loads after the player; the numbers are those callers pass.
enum class GameListMode {
  CurrentGames = 0,
  AllGames = 1,
  CurrentGamesSince = 2,
  AllGamesSince = 3,
  None = 4,  // the player alone, as for the tournament list
};

// The client of the game server's XML interface for one player looked up by alias.
class TXMLTarn {
 public:
  static constexpr int kPlayerBatchSize = 1;

  // Reads the player by alias, then loads the game list of the mode (fromDate for the two
  // Since modes).
  // A player that cannot be fetched or is unknown is reported through Dialogs and the object is
  // returned unread (Player.player_id 0). A broken player element or a failing game-list load
  // throws: no object results.
  static std::unique_ptr<TXMLTarn> Create(ServerContext context, const std::string& alias,
                                          GameListMode mode, DateTime fromDate);

  // The four game-list loads. A failure throws and leaves Document and GameCount as they were.
  void LoadCurrentGames();
  void LoadAllGames();
  void LoadCurrentGamesSince(DateTime fromDate);
  void LoadAllGamesSince(DateTime fromDate);

  // Fills Game from game element number index (0-based) of Document; an index out of range
  // leaves Game empty. A missing or unconvertible attribute or child element throws.
  void ReadGame(int index);
  void ClearGame();

  // Adds missing competitors of CurrentGames to Players, then refreshes every Players row.
  // False when a batch could not be fetched (reported, its rows unchanged).
  bool UpdatePlayers();
  // Replaces the rows of Tournaments by the server's tournament list, all or nothing.
  void LoadTournaments();

  // -1 for a tournament id that is left out; name receives the fixed name of an id that has one.
  static int FixedTournamentName(int32_t id, std::string& name);

  std::shared_ptr<const XmlDocument> Document;
  int GameCount = 0;
  TS_PLAYER Player;
  TS_CURRGAME Game;
  GameListMode Mode = GameListMode::CurrentGames;

 private:
  explicit TXMLTarn(ServerContext context);

  std::string Url(const std::string& host, const std::string& query) const;
  void LoadGameList(const std::string& url);
  // The loader's document; an error page instead of a document throws XmlLoadError.
  std::shared_ptr<const XmlDocument> Load(const std::string& url) const;
  // The document, or nothing when it could not be loaded or the server answered nothing; cause
  // then tells why.
  std::shared_ptr<const XmlDocument> TryLoad(const std::string& url, std::string& cause) const;
  // "HOST does not allowed", with the cause on the next line.
  void ShowNotAllowed(const std::string& cause) const;
  TS_PLAYER ReadPlayer(const XmlElement& element) const;
  TS_TOURNAMENT ReadTournament(const XmlElement& element, const std::string& fixedName) const;

  ServerContext context_;
};

}  // namespace tarn
