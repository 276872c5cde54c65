// A listen server hears the shots of the others where they are fired (a
// client's, resolved here), not its own player's; every client learns of
// every shot from the count in the datagrams' top bits.
#include "net_fixture.h"

#include "game/weapons.h"

#include <map>

namespace {

TEST_F(NetServerTest, ShotsAreHeardOnTheServerAndCountedInEveryDatagram) {
  Serve();
  std::vector<TVec3> heard;
  GameHooks.ShotHeard = [&](const TVec3& where) { heard.push_back(where); };
  TWirePeer& shooter = Join("Shooter", 0);
  TWirePeer& listener = Join("Listener", 1);
  const int32_t index = static_cast<int32_t>(shooter.Find(7)->F[1]);
  TCharacter& c = *Characters->At(index);
  shooter.Send(State("Shooter", 0, 0, 1, 0, -1));
  ASSERT_TRUE(PollUntil([&] { return c.ModelNr == 0; }));
  c.SetHealth(100);
  Characters->Now = 100000;
  TWireMessage shot = Wire(4);
  const TVec3 head = c.HeadSphere.Centre;
  const float f[6] = {head.x, head.y, head.z, 0, 1, 0};  // upwards: nobody is hit
  for (int i = 0; i < 6; ++i) shot.F[i] = f[i];
  shooter.Send(shot);
  ASSERT_TRUE(PollUntil([&] { return heard.size() == 1; }));
  EXPECT_EQ(heard[0].y, head.y);
  // The host's own shot is its own sound, not one heard from elsewhere.
  TCharacter& host = *Characters->At(0);
  host.SetModel(10);
  host.SetHealth(100);
  host.SetPosition(20, 1.7f, 20);  // out of the way of its own shots
  host.FireRay({host.HeadSphere.Centre, {0, 1, 0}}, *Weapons->Pistols[0]);
  EXPECT_EQ(heard.size(), 1u);
  // Two shots of the host and one of the client: counts 2 and 1 in bits 14-15.
  host.FireRay({host.HeadSphere.Centre, {0, 1, 0}}, *Weapons->Pistols[0]);
  Network->SendPositions();
  std::map<int, int> counts;
  ASSERT_TRUE(PollUntil([&] {
    for (const auto& d : listener.DrainDatagrams()) counts[d[21]] = d[23] >> 6;
    return counts.size() >= 2;
  }));
  EXPECT_EQ(counts[0], 2);
  EXPECT_EQ(counts[index], 1);
}

}  // namespace
