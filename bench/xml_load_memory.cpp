// Peak memory of loading one big games_all document as the monitor does: an HTTP GET and the
// parser. The simulated server runs in a child process, so its world and its answer text are not
// counted here. Run it under /usr/bin/time -v, or read the figures it prints itself.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/http.h"
#include "platform/xml.h"
#include "sim/documents.h"
#include "sim/generator.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace {

using namespace tarn;

constexpr int kPlayer = 1001;

struct Served {
  int port = 0;
  size_t documentBytes = 0;
};

// Serves a world of `games` finished games until killed; tells the parent its port and the size
// of the document.
[[noreturn]] void ServeBigWorld(int games, int reportFd) {
  sim::World world = sim::DemoWorld();
  world.games.clear();
  sim::GameGenerator(11).AddHistory(world, kPlayer, games, 100000, sim::SimNow());
  Served served;
  {
    std::vector<const sim::SimGame*> all;
    for (const sim::SimGame& game : world.games) all.push_back(&game);
    served.documentBytes = sim::GamesDocument(world, all).size();
  }
  sim::SimServer server(std::move(world));
  served.port = server.Start();
  if (write(reportFd, &served, sizeof served) != ssize_t(sizeof served)) std::_Exit(1);
  while (true) pause();
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const int games = argc > 1 ? std::atoi(argv[1]) : 94000;
  int report[2];
  if (games <= 0 || pipe(report) != 0) return 2;
  const pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) ServeBigWorld(games, report[1]);
  Served served;
  const bool told = read(report[0], &served, sizeof served) == ssize_t(sizeof served);
  int status = 1;
  if (told) {
    const long before = PeakKilobytes();
    auto http = MakeCurlHttp();
    HttpXmlLoader loader(*http);
    auto doc = loader.Load("http://127.0.0.1:" + std::to_string(served.port) + sim::kXmlPath +
                           "?mode=games_all&user_id=" + std::to_string(kPlayer));
    std::printf("%d games, document %.1f MB: peak resident %.1f MB (%.1f MB before the load)\n",
                doc->Root().ChildCount(), double(served.documentBytes) / 1e6,
                double(PeakKilobytes()) / 1e3, double(before) / 1e3);
    status = 0;
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return status;
}
