// The character record: creation, models and their hit spheres, refused
// input, landing, and death with what it sends.
#include "game_fixture.h"

#include "core/logger.h"
#include "render/model.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

class CharacterTest : public GameTest {};

std::string LogText() {
  Logger->Flush();
  std::ifstream in(Logger->LogPath());
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(CharacterTest, ANewCharacterIsDeadButHasNeverDied) {
  StartServer();
  AddStartedClient();
  MakeCharacters();
  int32_t index = characters->Add(10, 3, 4, 5);
  for (int32_t i : {0, index}) {
    const TCharacter& c = *characters->At(i);
    EXPECT_TRUE(c.Dead);
    EXPECT_TRUE(c.InUse);
    EXPECT_EQ(c.Deaths, 0);
    EXPECT_EQ(c.Health, 0);
    EXPECT_EQ(c.PistolIndex, 0);
    EXPECT_EQ(c.RifleIndex, -1);
  }
  EXPECT_TRUE(effects.Deaths.empty());
  for (const TSent& s : sent) EXPECT_NE(s.Message.Code, ServerMsg::Died);
  for (const TSent& s : sent) EXPECT_NE(s.Message.Code, ServerMsg::Score);
  EXPECT_EQ(characters->TerroristCount, 1);
  EXPECT_EQ(characters->CounterCount, 0);  // the host, still choosing, is on no team

  // A later death runs the whole sequence.
  TCharacter& c = *characters->At(index);
  c.SetHealth(100);
  c.SetArmour(50);
  sent.clear();
  c.SetDead(true);
  EXPECT_EQ(c.Deaths, 1);
  EXPECT_EQ(c.Armour, 0);
  EXPECT_EQ(c.PistolIndex, 2);
  ASSERT_EQ(effects.Deaths.size(), 1u);
  EXPECT_FLOAT_EQ(effects.Deaths[0].x, 3);
  EXPECT_FLOAT_EQ(effects.Deaths[0].y, c.LegsSphere.Centre.y);
  EXPECT_EQ(CodesTo(0), (std::vector<uint8_t>{ServerMsg::Died, ServerMsg::Score}));
  EXPECT_EQ(SentTo(0)[0].S1, std::to_string(index));
  EXPECT_EQ(SentTo(0)[1].S3, "1");
}

TEST_F(CharacterTest, ShippedModelsGiveHitSpheresFromTheirHeight) {
  MakeCharacters();
  TCharacter& c = *characters->LocalCharacter;
  for (int32_t n : {0, 1, 10, 11}) {
    SCOPED_TRACE(n);
    c.SetModel(n);
    ASSERT_NE(c.Model, nullptr);
    EXPECT_EQ(c.Team, n < 10 ? 0 : 1);
    float minY = INFINITY, maxY = -INFINITY;
    for (const auto& mesh : c.Model->Meshes) {
      minY = std::min(minY, mesh->BoxMin.y);
      maxY = std::max(maxY, mesh->BoxMax.y);
    }
    const float r = (maxY - minY) / 2, centre = (maxY + minY) / 2, lift = 1.05f * r;
    EXPECT_FLOAT_EQ(c.Y, lift);
    EXPECT_FLOAT_EQ(c.BoundSphere.Radius, r);
    EXPECT_NEAR(c.BoundSphere.Centre.y, centre + lift, 1e-5);
    EXPECT_NEAR(c.HeadSphere.Centre.y, centre + 0.85f * r + lift, 1e-5);
    EXPECT_NEAR(c.ChestSphere.Centre.y, centre + 0.25f * r + lift, 1e-5);
    EXPECT_NEAR(c.LegsSphere.Centre.y, centre - 0.6f * r + lift, 1e-5);
    EXPECT_FLOAT_EQ(c.HeadSphere.Radius, 0.15f * r);
    EXPECT_FLOAT_EQ(c.ChestSphere.Radius, 0.5f * r);
    EXPECT_FLOAT_EQ(c.LegsSphere.Radius, 0.4f * r);
  }
  EXPECT_EQ(characters->TerroristCount, 1);
  c.SetModel(-1);
  EXPECT_EQ(c.Model, nullptr);
  EXPECT_EQ(c.Team, 0);
  EXPECT_EQ(c.BoundSphere.Radius, 0);
}

TEST_F(CharacterTest, ChoosingAModelWhileAliveKills) {
  MakeCharacters();
  TCharacter& c = *characters->LocalCharacter;
  c.SetModel(0);
  c.SetHealth(100);
  c.SetModel(1);
  EXPECT_TRUE(c.Dead);
  EXPECT_EQ(c.Deaths, 1);
}

TEST_F(CharacterTest, BadModelNumbersAndMissingModelsAreLoggedAndPlayOn) {
  MakeCharacters();
  TCharacter& c = *characters->LocalCharacter;
  c.SetModel(5);
  EXPECT_EQ(c.ModelNr, -1);
  EXPECT_EQ(c.Model, nullptr);
  EXPECT_NE(LogText().find("False ModelNr: 5"), std::string::npos);

  characters->ModelNames.Terror2 = "nobody";
  c.SetModel(11);
  EXPECT_EQ(c.ModelNr, 11);
  EXPECT_EQ(c.Model, nullptr);
  EXPECT_EQ(c.Team, 1);
  EXPECT_NEAR(c.BoundSphere.Radius, 0.9, 1e-5);  // the shipped figures' size
  EXPECT_NE(LogText().find("data\\characters\\nobody\\char.3ds"), std::string::npos);
}

TEST_F(CharacterTest, CharacterSettingsWithMissingKeysUseTheDefaults) {
  std::filesystem::remove(dir / "data/characters");
  std::filesystem::create_directories(dir / "data/characters");
  WriteFile(dir / "data/characters/config.ini", "[counter]\ncounter2=trooper\n");
  TCharacterModelNames names = TCharacterModelNames::Read();
  EXPECT_EQ(names.ForModel(0), "civil");
  EXPECT_EQ(names.ForModel(1), "trooper");
  EXPECT_EQ(names.ForModel(10), "blackman");
  EXPECT_EQ(names.ForModel(11), "blackman");
  EXPECT_EQ(names.ForModel(2), "");
  MakeCharacters();
  characters->LocalCharacter->SetModel(0);  // no directory "civil" here
  EXPECT_EQ(characters->LocalCharacter->ModelNr, 0);
}

TEST_F(CharacterTest, NonFiniteInputNeverEntersACharacter) {
  MakeCharacters();
  TCharacter& c = *characters->LocalCharacter;
  c.SetModel(0);
  c.SetPosition(1, 2, 3);
  c.SetView(30, 10);
  const TVec3 pos = c.Position(), centre = c.BoundSphere.Centre;
  const float nan = std::nanf(""), inf = INFINITY;
  c.SetPosition(nan, 0, 0);
  c.SetPosition(0, inf, 0);
  c.MoveBy(0, 0, nan);
  c.MoveBy(3e38f, 0, 0);
  c.MoveBy(3e38f, 0, 0);  // the sum would overflow
  c.MoveCentreTo({nan, 1, 1});
  c.SetView(nan, 0);
  c.SetView(0, -inf);
  EXPECT_EQ(c.Position().x, pos.x + 3e38f);
  EXPECT_EQ(c.Position().y, pos.y);
  EXPECT_EQ(c.BoundSphere.Centre.y, centre.y);
  EXPECT_EQ(c.Yaw, 30);
  EXPECT_EQ(c.Pitch, 10);
}

TEST_F(CharacterTest, LandingCostsHealthBeyondASpeedOf6Point5) {
  MakeCharacters();
  TCharacter& c = *characters->LocalCharacter;
  struct Case {
    float speed;
    int32_t health;
  };
  // Round to even: -1.5 costs 2, -0.5 nothing, -2.5 costs 2.
  for (Case k : {Case{-6.5f, 100}, Case{-8, 98}, Case{-7, 100}, Case{-9, 98}, Case{-10, 96}, Case{-200, 0},
                 Case{-INFINITY, 0}, Case{std::nanf(""), 100}}) {
    SCOPED_TRACE(k.speed);
    c.SetHealth(100);
    c.FallDamage(k.speed);
    EXPECT_EQ(c.Health, k.health);
    EXPECT_EQ(c.Dead, k.health == 0);
  }
}

TEST_F(CharacterTest, StateChangesMarkTheRightSlotDirty) {
  StartServer();
  int32_t slot = AddStartedClient();
  MakeCharacters();
  int32_t index = characters->Add(-1, 0, 0, 0);
  ASSERT_EQ(index, slot + 1);
  characters->At(index)->SetName("Bob");
  EXPECT_TRUE(Network->Server->Slot(slot)->Dirty);
  EXPECT_FALSE(Network->Server->HostDirty);
  characters->LocalCharacter->SetWeaponSlot(1);
  EXPECT_TRUE(Network->Server->HostDirty);

  // A client marks only its own player.
  Network->StartClient("127.0.0.1", 5000, 5001, "Bob");  // connects in the background
  characters->At(index)->SetArmour(5);
  EXPECT_FALSE(Network->Client->Dirty);
  characters->LocalCharacter->SetArmour(5);
  EXPECT_TRUE(Network->Client->Dirty);
}

}  // namespace

namespace {

TEST_F(CharacterTest, FreedSlotsAndCharactersAreReusedInPairs) {
  StartServer();
  MakeCharacters();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(characters->Add(-1, 0, 0, 0), AddStartedClient() + 1);
  // Client 0 leaves: its slot and character 1 are freed (which kills it).
  characters->At(1)->SetHealth(100);
  Network->Server->RemoveClient(0);
  characters->At(1)->SetInUse(false);
  EXPECT_TRUE(characters->At(1)->Dead);
  EXPECT_EQ(characters->CountInUse(), 3);
  EXPECT_EQ(Network->Server->ConnectedCount(), 2);
  // The next connection gets slot 0 and character 1 again; index 0 is never reused.
  characters->LocalCharacter->SetInUse(false);
  EXPECT_EQ(Network->Server->AddClient(), 0);
  EXPECT_EQ(characters->Add(-1, 0, 0, 0), 1);
  EXPECT_EQ(characters->Count, 4);
  EXPECT_EQ(characters->At(1)->Deaths, 0);  // a new player
  EXPECT_EQ(characters->Add(-1, 0, 0, 0), 4);
}

}  // namespace
