// A server session's face to the world beyond its players: the answers to
// out-of-band queries on the game's UDP port, and the heartbeats to masters.
#include <algorithm>

#include "core/ini_file.h"
#include "net/network.h"

void TNetwork::OpenPublic() {
  Server->OutOfBand = [this](const uint8_t* data, size_t size, TServerAddress from) {
    Queries.Receive(data, size, from, Announcer.IsMaster(from.Host), SteadyMs(),
                    [this](bool players) { return DescribeStatus(players); },
                    [this, from](const std::string& bytes) { Server->SendOutOfBand(from, bytes); });
  };
  Announcer.Start(Masters, SteadyMs());
}

void TNetwork::PollPublic() {
  Announcer.Poll(SteadyMs(), [this] { return DescribeServer().Players; },
                 [this](TServerAddress to, const std::string& bytes) { Server->SendOutOfBand(to, bytes); });
}

void TNetwork::ClosePublic(TServer& server) {
  Announcer.Stop([&server](TServerAddress to, const std::string& bytes) { server.SendOutOfBand(to, bytes); });
}

TServerStatus TNetwork::DescribeStatus(bool players) const {
  TServerStatus status;
  status.Info = DescribeServer();
  if (!Server) return status;
  status.RoundTime = Server->RoundTime;
  if (DescribePlayers) DescribePlayers(status);
  if (!players) status.Players.clear();
  return status;
}

void TNetwork::LoadMasterSettings(const std::string& iniFile) {
  Masters = SplitDiscoveryTargets(TIniFile(iniFile).ReadString("Network", "masters", ""));
}
