#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "store/db_monitor.h"
#include "store/store_tables.h"
#include "store/table_file.h"
#include "support/fakes.h"

namespace tarn {
namespace {

// Distinct games in a shuffled id order, as a long game history comes back from the server.
std::vector<TS_CURRGAME> Games(int count) {
  static const char* const kMaps[] = {"eden", "iron", "lions eye", "swamp", "v6", "unknown"};
  std::vector<TS_CURRGAME> games(count);
  std::mt19937 random(7);
  for (int i = 0; i < count; ++i) {
    TS_CURRGAME& g = games[i];
    g.game_id = 100000 + i;
    g.player_id = 77;
    g.player_name = "Searched";
    g.map_id = kMaps[i % 6];
    g.competitor_id = 1000 + i % 300;
    g.competitor_name = "Competitor " + std::to_string(i % 300);
    g.own_side = i % 2 ? "pl" : "fnu";
    g.own_turn = i % 50;
    g.own_turn_date = *DateTime::FromFields(2008, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0);
    g.competitor_turn_date = *DateTime::FromFields(2009, 1 + i % 12, 1 + i % 28, i % 24, 0, 0);
    g.start_time = g.own_turn_date;
    g.turn_limit = 3;
    g.tournament_name = i % 10 ? "" : "Spring Cup";
  }
  std::shuffle(games.begin(), games.end(), random);
  return games;
}

struct Store {
  testing::SilentDialogs dialogs;
  testing::FixedClock clock{*DateTime::FromFields(2011, 1, 2, 3, 4, 5)};
  TFormDBMonitor db{dialogs, clock};
};

void BM_MergeNewGames(benchmark::State& state) {
  const auto games = Games(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_unique<Store>();
    state.ResumeTiming();
    for (const auto& game : games) benchmark::DoNotOptimize(store->db.MergePlayerGame(game));
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MergeNewGames)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_MergeKnownGames(benchmark::State& state) {
  const auto games = Games(static_cast<int>(state.range(0)));
  Store store;
  for (const auto& game : games) store.db.MergePlayerGame(game);
  for (auto _ : state) {
    for (const auto& game : games) {
      if (store.db.MergePlayerGame(game) != MergeResult::Unchanged)
        state.SkipWithError("a known game was not 0");
    }
  }
}
BENCHMARK(BM_MergeKnownGames)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// A PlayerGames file of that many rows, written once for the load benchmark.
std::filesystem::path PlayerGamesFile(int rows) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("tarn-bench-playergames-" + std::to_string(rows) + ".cds");
  Store store;
  for (const auto& game : Games(rows)) store.db.InsertPlayerGame(game);
  WriteTableFile(file, "PlayerGames", store.db.PlayerGames.Columns(), store.db.PlayerGames.Rows());
  return file;
}

void BM_LoadPlayerGames(benchmark::State& state) {
  const auto file = PlayerGamesFile(static_cast<int>(state.range(0)));
  const auto& columns = PlayerGamesDefinition().columns;
  Table table("PlayerGames", columns, PlayerGamesDefinition().indexes);
  for (auto _ : state) table.Load(ReadTableFile(file, "PlayerGames", columns, "game_id").rows);
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadPlayerGames)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SavePlayerGames(benchmark::State& state) {
  const auto file = PlayerGamesFile(static_cast<int>(state.range(0)));
  Store store;
  store.db.PlayerGames.Load(
      ReadTableFile(file, "PlayerGames", PlayerGamesDefinition().columns).rows);
  for (auto _ : state) {
    WriteTableFile(file, "PlayerGames", store.db.PlayerGames.Columns(),
                   store.db.PlayerGames.Rows());
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_SavePlayerGames)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarn
