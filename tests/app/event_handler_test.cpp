// The player's keys and mouse as the event handler turns them into actions:
// weapon slots from keys and the wheel, the jump, mouse look and its clamp,
// fire on the left (or, inverted, the right) button.
#include "event_handler_fixture.h"
#include "game/net_rules.h"

#include <cmath>

TEST_F(EventHandlerTest, WeaponSlotsFromKeysAndWheel) {
  for (uint16_t key : {kKey1, kKey2, kKey3, kKey4}) {
    Press(key);
    EXPECT_EQ(player->WeaponSlot, key - kKey1);
  }
  EventHandler->MouseDown(4, 0, 0);  // wheel up on slot 3 wraps to 0
  EXPECT_EQ(player->WeaponSlot, 0);
  EventHandler->MouseDown(5, 0, 0);  // wheel down on slot 0 wraps to 3
  EXPECT_EQ(player->WeaponSlot, 3);
  Game->InGame = false;  // the slot keys and the wheel act only in game
  Press(kKey2);
  EventHandler->MouseDown(4, 0, 0);
  EXPECT_EQ(player->WeaponSlot, 3);
}

TEST_F(EventHandlerTest, JumpOnlyFromStanding) {
  Press(Game->KeyJump.Key);
  EXPECT_FLOAT_EQ(Movement->VerticalVelocity, 4.0f);
  Movement->VerticalVelocity = 2.0f;  // rising: no second jump
  Press(Game->KeyJump.Key);
  EXPECT_FLOAT_EQ(Movement->VerticalVelocity, 2.0f);
}

TEST_F(EventHandlerTest, MouseLookTurnsByTheFormulaAndClampsPitch) {
  struct Case {
    int delta;
    double speed, acceleration, turn;
  } cases[] = {
      {10, 0.5, 1, 5},     {-10, 0.5, 1, -5},  {4, 1, 2, 16}, {-4, 1, 2, -16},
      {3, 0.5, 0, 1},      {-3, 0.5, 0, -1},   // acceleration 0: one degree per motion
      {0, 0.5, 0, 0},      {0, 0.5, 1, 0},     // the re-centring warp turns nothing
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(MouseTurn(c.delta, c.speed, c.acceleration), c.turn) << c.delta << " " << c.acceleration;

  GameVars->Mouse->MouseSpeed = 1;
  GameVars->Mouse->MouseAcc = 1;
  Motion(30, 0);
  EXPECT_FLOAT_EQ(player->Yaw, 30);
  Motion(0, 0);  // a frame's warp back to the centre
  EXPECT_FLOAT_EQ(player->Yaw, 30);
  Motion(0, 250);  // far down stops at 80
  EXPECT_FLOAT_EQ(player->Pitch, 80);
  Motion(0, -250);
  EXPECT_FLOAT_EQ(player->Pitch, -80);
  Game->CursorVisible = true;  // a dialog is open: no mouse look
  Motion(30, 0);
  EXPECT_FLOAT_EQ(player->Yaw, 30);
}

TEST_F(EventHandlerTest, FireButtonFollowsInvertMouse) {
  for (bool invert : {false, true}) {
    GameVars->Mouse->InvertMouse = invert;
    EventHandler->FireHeld = false;
    EventHandler->MouseDown(invert ? 1 : 3, 0, 0);  // the other button never fires
    EXPECT_FALSE(EventHandler->FireHeld) << invert;
    EventHandler->MouseDown(invert ? 3 : 1, 0, 0);
    EXPECT_TRUE(EventHandler->FireHeld) << invert;
    EventHandler->MouseUp(invert ? 3 : 1, 0, 0);
    EXPECT_FALSE(EventHandler->FireHeld) << invert;
  }
  player->SetHealth(0);  // the dead do not fire
  EventHandler->MouseDown(1, 0, 0);
  EXPECT_FALSE(EventHandler->FireHeld);
}

TEST_F(EventHandlerTest, DirtyStatesLeaveEvery500MsAndTheHostsIsResentEvery10Seconds) {
  InstallNetRules(*Network);
  const int32_t slot = AddStartedClient();
  characters->Add(-1, 0, 0, 0);
  uint32_t now = 100000;
  SetTickSource([&] { return now; });
  auto statesOfHost = [&] {
    int n = 0;
    for (const TNetMessage& m : SentTo(slot)) n += m.Code == ServerMsg::State && m.S3 == "0";
    return n;
  };
  EventHandler->Tick();  // the first keep-alive marks the host dirty; the state leaves at once
  EXPECT_EQ(statesOfHost(), 1);
  player->SetName("Renamed");
  now += 499;
  EventHandler->Tick();
  EXPECT_EQ(statesOfHost(), 1);
  now += 1;
  EventHandler->Tick();
  EXPECT_EQ(statesOfHost(), 2);
  now += 5000;
  EventHandler->Tick();
  EXPECT_EQ(statesOfHost(), 2);  // nothing changed
  now += 5000;
  EventHandler->Tick();
  EXPECT_EQ(statesOfHost(), 3);  // the keep-alive
  SetTickSource(nullptr);
}
