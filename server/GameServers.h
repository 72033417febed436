#pragma once
// The game servers the login page offers and the game page names.
#include <span>
#include <string_view>

namespace zorv::server {

struct GameServer {
  std::string_view id;     // the value the login form sends as "server"
  std::string_view name;   // shown to the player
  std::string_view state;  // load shown beside the name
};

std::span<const GameServer> GameServers();

// The server with that id; null for an unknown id.
const GameServer* FindGameServer(std::string_view id);

}  // namespace zorv::server
