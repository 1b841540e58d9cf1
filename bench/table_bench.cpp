// Table engine speed on a PlayerGames-shaped table: a search narrowed by player, competitor and
// side and walked by record number, and merge loops of locate-then-append.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "store/filter_expression.h"
#include "store/table.h"

namespace tarn {
namespace {

constexpr int kPlayers = 10;
constexpr int kCompetitors = 200;

Table MakePlayerGames() {
  using T = ColumnType;
  return Table("PlayerGames",
               {{"game_id", T::Integer},
                {"player_id", T::Integer},
                {"player_name", T::Text, 60},
                {"map_id", T::Text, 20},
                {"map_name", T::Text, 20},
                {"competitor_id", T::Integer},
                {"competitor_name", T::Text, 30},
                {"own_side", T::Text, 3},
                {"own_turn", T::Integer},
                {"own_turn_date", T::DateTime},
                {"competitor_turn_date", T::DateTime},
                {"game_status", T::SmallInt},
                {"start_time", T::DateTime},
                {"turn_limit", T::Integer},
                {"ingame_time", T::Integer},
                {"alies_density", T::Integer},
                {"revenue_turns", T::Integer},
                {"unit_set", T::Integer},
                {"chess_clock", T::Boolean},
                {"rating_game", T::Boolean},
                {"tourney", T::Boolean},
                {"tournament_id", T::Integer},
                {"date_create", T::DateTime},
                {"date_update", T::DateTime},
                {"new_turn", T::Boolean},
                {"tournament_name", T::Text, 100},
                {"active_deadline", T::DateTime},
                {"passive_remaining_time", T::Integer},
                {"freeze_time", T::Integer},
                {"mentor_game", T::Boolean}},
               {{"GameIdIndex", "game_id", false}});
}

std::string PlayerName(int i) { return "Player " + std::to_string(i % kPlayers); }
std::string CompetitorName(int i) { return "Competitor " + std::to_string(i % kCompetitors); }

// One game as the merge writes it: every column the server sends.
void AppendGame(Table& games, int i) {
  const DateTime turn(40000.0 + i / 97.0);
  games.Append();
  games.SetField("game_id", i);
  games.SetField("player_id", i % kPlayers);
  games.SetField("player_name", PlayerName(i));
  games.SetField("map_id", "iron");
  games.SetField("map_name", "Station \"Thunder\"");
  games.SetField("competitor_id", 1000 + i % kCompetitors);
  games.SetField("competitor_name", CompetitorName(i));
  games.SetField("own_side", i % 3 == 0 ? "fnu" : "pl");
  games.SetField("own_turn", i % 50);
  games.SetField("own_turn_date", turn);
  games.SetField("competitor_turn_date", turn);
  games.SetField("game_status", 1);
  games.SetField("turn_limit", 72);
  games.SetField("rating_game", true);
  games.Post();
}

void Fill(Table& games, int rows) {
  for (int i = 0; i < rows; ++i) AppendGame(games, i);
}

void BM_FilterAndWalk(benchmark::State& state) {
  Table games = MakePlayerGames();
  Fill(games, static_cast<int>(state.range(0)));
  const std::string filter = "player_name = " + QuoteFilterConstant(PlayerName(3)) +
                             " AND competitor_name = " + QuoteFilterConstant(CompetitorName(3)) +
                             " AND own_side = 'pl'";
  int64_t sum = 0;
  for (auto _ : state) {
    games.SetFilter(filter);
    games.SetFiltered(true);
    for (int recNo = 1; recNo <= games.RecordCount(); ++recNo) {
      games.SetRecNo(recNo);
      sum += games.Field("own_turn").AsInt();
    }
    games.SetFiltered(false);
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_FilterAndWalk)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Every game is new: each locate misses and the game is appended.
void BM_MergeNewGames(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Table games = MakePlayerGames();
    for (int i = 0; i < count; ++i) {
      if (!games.Locate("game_id", i)) AppendGame(games, i);
    }
    benchmark::DoNotOptimize(games.RecordCount());
  }
}
BENCHMARK(BM_MergeNewGames)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The same games again: each locate hits and reads the stored turn date.
void BM_MergeKnownGames(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Table games = MakePlayerGames();
  Fill(games, count);
  double sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) {
      if (games.Locate("game_id", i)) sum += games.Field("own_turn_date").AsDateTime().Days();
    }
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_MergeKnownGames)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarn
