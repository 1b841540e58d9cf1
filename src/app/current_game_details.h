#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/remaining_time.h"
#include "base/date_time.h"

namespace tarn {

class Cursor;
class TFormDBMonitor;
class Value;

// What the panel under the current games shows of the selected game. Everything stays empty
// while there is no game, and a map or competitor the tables do not know leaves its part empty,
// so the panel never shows another game's picture or rating.
struct CurrentGameDetails {
  bool hasGame = false;
  std::string tournament;       // the label "Tournament:" is shown only when this is not empty
  std::optional<int> mapImage;  // `img_no` of the game's map
  GameClock clock;
  std::string competitorName;
  std::string competitorGlicko;
  std::string competitorCountry;
  std::filesystem::path avatarFile;  // empty when the competitor has no picture

  // "Your time:" and "Competitor's time:" at `now`; both empty while there is no game.
  RemainingTimeTexts RemainingTimesAt(DateTime now, std::string_view longTimeFormat) const;
};

// Reads the details of the current CurrentGames row. Maps and players are looked up on cursors of
// its own, so the tables' own current rows stay where the monitor put them.
class CurrentGameDetailsReader {
 public:
  // Avatars are `avatarDir`/<competitor_name>.bmp.
  CurrentGameDetailsReader(const TFormDBMonitor& db, std::filesystem::path avatarDir);
  ~CurrentGameDetailsReader();
  CurrentGameDetailsReader(const CurrentGameDetailsReader&) = delete;
  CurrentGameDetailsReader& operator=(const CurrentGameDetailsReader&) = delete;

  // A table that could not be loaded (already reported at start) counts as holding no rows.
  CurrentGameDetails Read();

 private:
  std::optional<int> MapImage(const std::string& mapId);
  void ReadCompetitor(const Value& competitorId, CurrentGameDetails& details);
  std::filesystem::path AvatarFile(const std::string& competitorName) const;

  const Cursor& games_;
  std::unique_ptr<Cursor> maps_;
  std::unique_ptr<Cursor> players_;
  std::filesystem::path avatarDir_;
};

}  // namespace tarn
