// The server resolves a client's shot only when the client could have fired
// it: alive, a weapon in the slot, in the weapon's cadence (less a quarter
// for network jitter), from within 2 units of its own head.
#include "net_fixture.h"

#include "game/weapons.h"

namespace {

class NetShotTest : public NetServerTest {
 protected:
  void SetUp() override {
    NetServerTest::SetUp();
    Serve();
    peer = &Join("Shooter", 0);
    shooter = Characters->At(1);
    peer->Send(State("Shooter", 0, 0, 1, 0, -1));  // model 0, pistol 0 in hand
    ASSERT_TRUE(PollUntil([&] { return shooter->ModelNr == 0; }));
    shooter->SetHealth(100);
    shooter->MoveCentreTo({0, 1, 0});
    victim = Characters->At(0);
    victim->SetModel(10);
    victim->SetHealth(100);
    victim->MoveCentreTo({0, 1, -5});
    Characters->Now = 100000;
  }
  // Sends a shot from origin at the victim's chest, and waits until the server
  // has handled it (a chat sent after it has come back).
  void Shoot(TVec3 origin, float directionScale = 1) {
    TVec3 d = VecNormalize(VecSub(victim->ChestSphere.Centre, origin));
    TWireMessage m = Wire(4);
    const float f[6] = {origin.x, origin.y, origin.z, d.x * directionScale, d.y * directionScale, d.z * directionScale};
    for (int i = 0; i < 6; ++i) m.F[i] = f[i];
    peer->Send(m);
    const int before = peer->CountOf(5);
    peer->Send(Wire(2, "", "after"));
    ASSERT_TRUE(PollUntil([&] { return peer->CountOf(5) > before; }));
  }
  bool Hit() {
    const bool hit = victim->Health < 100;
    victim->SetHealth(100);
    return hit;
  }
  TVec3 Head() const { return shooter->HeadSphere.Centre; }
  uint32_t Sleep() const { return static_cast<uint32_t>(Weapons->Pistols[0]->Sleep); }

  TWirePeer* peer = nullptr;
  TCharacter* shooter = nullptr;
  TCharacter* victim = nullptr;
};

}  // namespace

TEST_F(NetShotTest, AShotHitsOnlyWhenTheShooterCouldHaveFiredIt) {
  Shoot(Head(), 5);  // an unnormalised direction is normalised by the server
  EXPECT_TRUE(Hit());

  Characters->Now += Sleep();
  Shoot(VecAdd(Head(), {2.5f, 0, 0}));  // too far from its head
  EXPECT_FALSE(Hit());
  Shoot(VecAdd(Head(), {0, 0, -1.5f}));  // within 2 units
  EXPECT_TRUE(Hit());

  Characters->Now += Sleep();
  shooter->WeaponSlot = 2;
  Shoot(Head());
  EXPECT_FALSE(Hit());
  shooter->WeaponSlot = 1;
  shooter->PistolIndex = -1;
  Shoot(Head());
  EXPECT_FALSE(Hit());
  shooter->PistolIndex = 0;
  shooter->SetDead(true);
  Shoot(Head());
  EXPECT_FALSE(Hit());
}

TEST_F(NetShotTest, ShotsFasterThanTheWeaponAllowsLessAQuarterAreIgnored) {
  Shoot(Head());
  EXPECT_TRUE(Hit());
  Characters->Now += Sleep() * 3 / 4 - 1;  // beyond the allowance
  Shoot(Head());
  EXPECT_FALSE(Hit());
  Characters->Now += 1;  // exactly three quarters of Sleep after the last accepted shot
  Shoot(Head());
  EXPECT_TRUE(Hit());
}
