#pragma once

#include <string>
#include <vector>

#include "store/table.h"

namespace tarn::testing {

// A small games table in the shape of the program's game tables.
inline Table MakeGamesTable() {
  return Table("Games",
               {{"game_id", ColumnType::Integer},
                {"map_id", ColumnType::Text, 20},
                {"competitor_name", ColumnType::Text, 30},
                {"own_side", ColumnType::Text, 3},
                {"img_no", ColumnType::SmallInt},
                {"new_turn", ColumnType::Boolean},
                {"own_turn_date", ColumnType::DateTime}},
               {{"GameIdIndex", "game_id", false}, {"OwnTurnDateIndex", "own_turn_date", true}});
}

inline void AppendGame(Cursor& games, int id, const std::string& map, const std::string& competitor,
                       const std::string& side = "pl") {
  games.Append();
  games.SetField("game_id", id);
  games.SetField("map_id", map);
  games.SetField("competitor_name", competitor);
  games.SetField("own_side", side);
  games.Post();
}

// The game ids of the visible rows in the cursor's order, read by position.
inline std::vector<int64_t> VisibleIds(const Cursor& games) {
  std::vector<int64_t> ids;
  for (int i = 0; i < games.RecordCount(); ++i) ids.push_back(games.FieldAt(i, 0).AsInt());
  return ids;
}

}  // namespace tarn::testing
