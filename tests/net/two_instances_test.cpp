// A server and a client in two processes on one machine play a round: the
// client joins, picks a model, is revived by the round restart, shoots the
// host (resolved by the server), is shot dead by the host, gets its gold for
// the round and is revived by the next restart. Both bind UDP on the same
// machine, so the client takes a port of its own and announces it.
#include "net_fixture.h"

#include <cmath>
#include <sys/wait.h>

#include "game/weapons.h"

namespace {

// Both processes run their rules four times faster than the wall clock, so
// the 5000 ms round restart takes little more than a second.
class TFastClock {
 public:
  uint32_t Now() const {
    return 100000 + static_cast<uint32_t>(4 * std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::steady_clock::now() - start)
                                                  .count());
  }

 private:
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

// The event handler's timed sends, at its intervals in rule time.
struct TTimedSends {
  void Step(uint32_t now) {
    if (now - lastPositions >= 40) {
      Network->SendPositions();
      lastPositions = now;
    }
    if (now - lastStates >= 500) {
      Network->SendStates();
      lastStates = now;
    }
  }
  uint32_t lastPositions = 0, lastStates = 0;
};

enum : int { kSawAlive = 1, kSawDeath = 2, kSawGold = 4, kSawRevival = 8, kConnected = 16 };

// The view that points the shot ray at the target's chest.
void AimAt(TCharacter& from, const TCharacter& to) {
  const double dx = to.X - from.X, dz = to.Z - from.Z;
  const double drop = from.HeadSphere.Centre.y - to.ChestSphere.Centre.y;
  from.SetView(static_cast<float>(std::atan2(dz, dx) * 180.0 / M_PI),
               static_cast<float>(std::atan2(drop, std::hypot(dx, dz)) * 180.0 / M_PI));
}

}  // namespace

TEST_F(NetServerTest, AServerAndAClientOnOneMachinePlayARound) {
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The client process: its own session, level and characters.
    uint16_t ports[2];
    if (::read(pipeFds[0], ports, sizeof ports) != sizeof ports) ::_exit(100);
    NetRuleHooks.RequestLevel = [this](const std::string& name) {
      level = std::make_unique<TLevel>(name, false);
      MakeCharacters();
      Characters = characters.get();
    };
    Characters = nullptr;
    Network->OnError = [](const std::string&, const std::string&) { ::_exit(101); };
    if (!Network->StartClient("127.0.0.1", ports[0], ports[1], "Client")) ::_exit(102);
    TFastClock clock;
    TTimedSends sends;
    int seen = 0;
    int32_t money = 0;
    uint32_t lastShot = 0, lastStep = clock.Now();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end && seen != 31) {
      const uint32_t now = clock.Now();
      Network->Poll();
      if (Characters) Characters->Tick(now, true);
      TCharacter* me = Characters ? Characters->LocalCharacter : nullptr;
      if (me && Network->Client && Network->Client->Started) {
        seen |= kConnected;
        if (me->ModelNr < 0) me->SetModel(0);
        const bool alive = !me->Dead && me->Health > 0;
        if (alive && !(seen & kSawAlive)) {
          // Pistol 0 in hand; the state carries it to the server before the first shot.
          seen |= kSawAlive;
          money = me->Money;
          me->PistolIndex = 0;
          me->SetWeaponSlot(1);
          me->MarkDirty();
          lastShot = now;
        }
        if (alive && (seen & kSawDeath)) seen |= kSawRevival;
        if (!alive && (seen & kSawAlive)) seen |= kSawDeath;
        if ((seen & kSawDeath) && me->Money >= money + 1000) seen |= kSawGold;
        const TCharacter* host = Characters->At(0);
        // Every spawn of this level is the same point: walk away from the host
        // to aim (at the walking speed: the server takes no faster steps).
        if (alive && host && std::fabs(me->Z - host->Z) < 4) me->MoveBy(0, 0, 0.5f / 400 * (now - lastStep));
        lastStep = now;
        if (alive && host && !host->Dead && now - lastShot > 600) {
          lastShot = now;
          me->PistolShots = 10;
          AimAt(*me, *host);
          me->Shoot();
        }
      }
      sends.Step(now);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::_exit(seen == 31 ? 0 : seen);
  }

  // The server process.
  Serve();
  TCharacter& host = *Characters->At(0);
  host.SetModel(10);
  const uint16_t ports[2] = {TCPPort(), UDPPort()};
  ASSERT_EQ(::write(pipeFds[1], ports, sizeof ports), static_cast<ssize_t>(sizeof ports));
  TFastClock clock;
  TTimedSends sends;
  bool hostHit = false, clientKilled = false;
  uint16_t clientUDPPort = 0;
  int status = -1;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(25);
  while (std::chrono::steady_clock::now() < end) {
    const uint32_t now = clock.Now();
    Poll();
    Characters->Tick(now, true);
    sends.Step(now);
    hostHit = hostHit || (!host.Dead && host.Health < 100);
    TCharacter* guest = Characters->At(1);
    // Once the guest has hit the host, the host shoots back until it dies.
    if (hostHit && !clientKilled && guest && !guest->Dead && !host.Dead && guest->ModelNr == 0) {
      TVec3 from = host.HeadSphere.Centre;
      host.FireRay({from, VecNormalize(VecSub(guest->ChestSphere.Centre, from))}, *Weapons->Pistols[0]);
      clientKilled = guest->Dead;
    }
    if (Network->Server->Slot(0)) clientUDPPort = Network->Server->Slot(0)->UDPPort;
    if (::waitpid(child, &status, WNOHANG) == child) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (status == -1) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
  }
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  EXPECT_TRUE(hostHit);
  EXPECT_TRUE(clientKilled);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "what the client saw (bits): " << WEXITSTATUS(status);
  EXPECT_NE(clientUDPPort, UDPPort());  // the client took a port of its own
}
