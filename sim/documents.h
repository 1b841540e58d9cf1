#pragma once

#include <string>
#include <vector>

#include "sim/world.h"

namespace tarn::sim {

// The XML documents of the server's interface, in UTF-8.

// <players> with one <player> per entry.
std::string PlayerInfoDocument(const std::vector<const SimPlayer*>& players);
// <games> with one <game> per entry; player aliases are looked up in the world.
std::string GamesDocument(const World& world, const std::vector<const SimGame*>& games);
// <tournaments> with one <tournament> per entry and its <moderator> children.
std::string TournamentListDocument(const std::vector<SimTournament>& tournaments);

}  // namespace tarn::sim
