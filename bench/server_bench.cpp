// A 20,000-game "games_all" list: built by the simulator, fetched over loopback, parsed, walked.
#include <benchmark/benchmark.h>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/http.h"
#include "platform/xml.h"
#include "server/xml_tarn.h"
#include "sim/documents.h"
#include "sim/generator.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"
#include "store/db_monitor.h"
#include "support/fakes.h"

namespace {

using namespace tarn;

constexpr int kGames = 20000;
constexpr int kPlayer = 1001;

sim::World BigWorld() {
  sim::World world = sim::DemoWorld();
  world.games.clear();
  sim::GameGenerator(11).AddHistory(world, kPlayer, kGames, 100000, sim::SimNow());
  return world;
}

const sim::World& SharedWorld() {
  static const sim::World world = BigWorld();
  return world;
}

std::string GamesAllText() {
  std::vector<const sim::SimGame*> games;
  for (const sim::SimGame& game : SharedWorld().games) games.push_back(&game);
  return sim::GamesDocument(SharedWorld(), games);
}

const std::string& SharedText() {
  static const std::string text = GamesAllText();
  return text;
}

void BM_BuildGamesAllDocument(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GamesAllText());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(SharedText().size()));
}

void BM_FetchGamesAllOverLoopback(benchmark::State& state) {
  sim::SimServer server(SharedWorld());
  server.Start();
  auto http = MakeCurlHttp();
  const std::string url =
      server.BaseUrl() + sim::kXmlPath + "?mode=games_all&user_id=" + std::to_string(kPlayer);
  for (auto _ : state) benchmark::DoNotOptimize(http->GetText(url));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(SharedText().size()));
}

void BM_ParseGamesAll(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(XmlDocument::Parse(SharedText()));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(SharedText().size()));
}

// Every game by index, as a game list is read: its attributes, its children by position and
// theirs. The document is fresh each time, so the child indexes are built inside the timing.
void BM_WalkGamesAllByIndex(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = XmlDocument::Parse(SharedText());
    state.ResumeTiming();
    XmlElement root = doc->Root();
    size_t length = 0;
    for (int i = 0; i < root.ChildCount(); ++i) {
      XmlElement game = root.Child(i);
      for (const char* name :
           {"id", "start_time", "activeDeadline", "passiveRemainingTime", "tourney"}) {
        length += game.Attribute(name)->size();
      }
      length += game.Child(0).Attribute("planet")->size();
      length += game.Child(0).Attribute("turn_limit")->size();
      const int first = game.Child(1).Name() == "tournament" ? 2 : 1;
      for (int p = first; p < first + 2; ++p) {
        for (const char* name : {"id", "side", "alias", "status", "turn", "turn_date"}) {
          length += game.Child(p).Attribute(name)->size();
        }
      }
    }
    benchmark::DoNotOptimize(length);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kGames);
}

// The server client's answers without the network: the player, and the big list parsed already.
class ReadyLoader : public XmlLoader {
 public:
  std::shared_ptr<const XmlDocument> games;
  std::shared_ptr<const XmlDocument> Load(const std::string& url) override {
    if (url.find("mode=player_info") == std::string::npos) return games;
    return XmlDocument::Parse(sim::PlayerInfoDocument({SharedWorld().FindPlayer(kPlayer)}));
  }
};

// Every game read into the client's game record, as the monitor and the player search do.
void BM_ReadEveryGameWithReadGame(benchmark::State& state) {
  testing::SilentDialogs dialogs;
  SystemClock clock;
  TFormDBMonitor db(dialogs, clock);  // the built-in time zone is all ReadGame needs
  ReadyLoader loader;
  auto client =
      TXMLTarn::Create({loader, dialogs, db, "127.0.0.1"}, "Vesper", GameListMode::None, {});
  for (auto _ : state) {
    state.PauseTiming();
    loader.games = XmlDocument::Parse(SharedText());
    client->LoadAllGames();
    state.ResumeTiming();
    for (int i = 0; i < client->GameCount; ++i) client->ReadGame(i);
    benchmark::DoNotOptimize(client->Game);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kGames);
}

BENCHMARK(BM_BuildGamesAllDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchGamesAllOverLoopback)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseGamesAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkGamesAllByIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryGameWithReadGame)->Unit(benchmark::kMillisecond);

}  // namespace
