#include "app/current_game_details.h"

#include <system_error>

#include "store/db_monitor.h"
#include "store/table.h"

namespace tarn {
namespace {

// The name comes from the server: one that could lead out of the avatar folder names no avatar.
bool UsableAsFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

std::filesystem::path Utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

RemainingTimeTexts CurrentGameDetails::RemainingTimesAt(DateTime now,
                                                        std::string_view longTimeFormat) const {
  if (!hasGame) return {};
  return RemainingTimes(now, clock, longTimeFormat);
}

CurrentGameDetailsReader::CurrentGameDetailsReader(const TFormDBMonitor& db,
                                                   std::filesystem::path avatarDir)
    : games_(db.CurrentGames),
      maps_(db.Maps.CreateCursor()),
      players_(db.Players.CreateCursor()),
      avatarDir_(std::move(avatarDir)) {}

CurrentGameDetailsReader::~CurrentGameDetailsReader() = default;

CurrentGameDetails CurrentGameDetailsReader::Read() {
  CurrentGameDetails details;
  // While a new row is being inserted the details are those of the row being typed.
  if (!games_.Active() || (games_.State() == EditState::Browse && games_.RecordCount() == 0)) {
    return details;
  }
  details.hasGame = true;
  details.tournament = games_.Field("tournament_name").AsText();
  details.mapImage = MapImage(games_.Field("map_id").AsText());
  details.clock = CurrentGameClock(games_);
  details.competitorName = games_.Field("competitor_name").AsText();
  ReadCompetitor(games_.Field("competitor_id"), details);
  details.avatarFile = AvatarFile(details.competitorName);
  return details;
}

std::optional<int> CurrentGameDetailsReader::MapImage(const std::string& mapId) {
  if (!maps_->Active() || !maps_->Locate("map_id", mapId)) return std::nullopt;
  const Value imgNo = maps_->Field("img_no");
  if (imgNo.IsNull()) return std::nullopt;
  return static_cast<int>(imgNo.AsInt());
}

void CurrentGameDetailsReader::ReadCompetitor(const Value& competitorId,
                                              CurrentGameDetails& details) {
  if (competitorId.IsNull() || !players_->Active() ||
      !players_->Locate("player_id", competitorId)) {
    return;
  }
  details.competitorGlicko = players_->Field("score_glicko").AsText();
  details.competitorCountry = players_->Field("country").AsText();
}

std::filesystem::path CurrentGameDetailsReader::AvatarFile(
    const std::string& competitorName) const {
  if (!UsableAsFileName(competitorName)) return {};
  std::filesystem::path file = avatarDir_ / Utf8Path(competitorName + ".bmp");
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return {};
  return file;
}

}  // namespace tarn
