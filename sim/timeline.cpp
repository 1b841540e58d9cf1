#include "sim/timeline.h"

#include <vector>

namespace tarn::sim {

void Timeline::Step(World& world, SimTime now) {
  const int me = world.monitoredPlayerId;
  std::vector<int> competitorToMove, ownToMove;
  for (const SimGame& game : world.games) {
    if (game.Finished() || !game.Find(me)) continue;
    const bool mine = game.players[game.ToMove()].playerId == me;
    (mine ? ownToMove : competitorToMove).push_back(game.id);
  }
  const size_t running = competitorToMove.size() + ownToMove.size();
  const uint32_t roll = generator_.Below(100);
  if (running == 0 || roll < 10) {
    if (running > 0) {
      const std::vector<int>& pool = competitorToMove.empty() ? ownToMove : competitorToMove;
      world.FinishGame(pool[generator_.Below(uint32_t(pool.size()))], me, generator_.FinalStatus(),
                       now);
    }
    world.StartGame(generator_.NewGame(world, me, world.NextGameId(), now));
    return;
  }
  const bool competitorMoves = (roll < 75 && !competitorToMove.empty()) || ownToMove.empty();
  const std::vector<int>& pool = competitorMoves ? competitorToMove : ownToMove;
  const int gameId = pool[generator_.Below(uint32_t(pool.size()))];
  if (competitorMoves) {
    world.MoveCompetitor(gameId, now);
  } else {
    world.MoveOwn(gameId, now);
  }
}

}  // namespace tarn::sim
