#include "GameServers.h"

namespace zorv::server {

std::span<const GameServer> GameServers() {
  static constexpr GameServer kServers[] = {
      {"1", "双线1区 烈焰", "火爆"},
      {"2", "双线2区 苍穹", "流畅"},
      {"3", "电信3区 龙吟", "流畅"},
      {"4", "网通4区 星辰", "新服"},
  };
  return kServers;
}

const GameServer* FindGameServer(std::string_view id) {
  for (const GameServer& server : GameServers())
    if (server.id == id) return &server;
  return nullptr;
}

}  // namespace zorv::server
