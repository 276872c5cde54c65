// The demo recorder: the game state at the start, then the session's stream.
#include "game/demo_recorder.h"

#include <algorithm>
#include <cctype>

#include "core/convert.h"
#include "core/game_settings.h"
#include "core/paths.h"
#include "game/characters.h"
#include "game/net_rules.h"
#include "world/level.h"

TDemoRecorder* DemoRecorder = nullptr;

namespace {

TSessionTap** SessionTap() {
  if (!Network) return nullptr;
  if (Network->IsServer && Network->Server) return &Network->Server->Tap;
  // A client records once connected; a demo's playback never is.
  if (Network->IsClient && Network->Client && Network->Client->Connected()) return &Network->Client->Tap;
  return nullptr;
}

bool PlainDemoName(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (char ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-' && ch != '_') return false;
  return true;
}

}  // namespace

int32_t DemoEyes() {
  if (!Characters) return 0;
  if (Characters->LocalCharacter && Characters->LocalCharacter->InUse) return Characters->LocalIndex;
  for (int32_t i = 0; i < Characters->Count; ++i)
    if (Characters->At(i)->InUse) return i;
  return Characters->LocalIndex;
}

uint32_t TDemoRecorder::Time() const {
  const uint32_t now = Characters ? Characters->Now - start : last;
  if (now > last) last = now;
  return last;
}

bool TDemoRecorder::Start(const std::string& path, std::string& error) {
  TSessionTap** tap = SessionTap();
  if (!Characters || !Characters->Level() || !tap) {
    error = "no game to record";
    return false;
  }
  if (!writer.Open(path, Characters->Level()->MapName, error)) return false;
  Path = path;
  start = Characters->Now;
  WriteGameState();
  *tap = this;
  return true;
}

// What a joining client is told, from what this machine knows.
void TDemoRecorder::WriteGameState() {
  const bool server = Network->IsServer;
  const bool stamps = server || Network->Client->PeerStamps;
  TNetMessage info = MakeMessage(ServerMsg::StartInfo, server ? Network->Server->ServerName : Network->Client->ServerName,
                                 stamps ? kNetRevision : "");
  info.F[0] = static_cast<float>(Characters->Count);
  info.F[1] = static_cast<float>(DemoEyes());
  Message(info);
  if (const TGameSettings* s = NetRuleHooks.Settings) Message(PhysicsMessage(s->Gravity, s->Speed));
  for (int32_t i = 0; i < Characters->Count; ++i) {
    const TCharacter& c = *Characters->At(i);
    const std::string index = std::to_string(i);
    if (!c.InUse) {
      Message(MakeMessage(ServerMsg::PlayerLeft, index));
      continue;
    }
    TNetMessage state = StateMessage(ServerMsg::State, c);
    state.S3 = index;
    Message(state);
    Message(MakeMessage(ServerMsg::Score, index, std::to_string(c.Kills), std::to_string(c.Deaths)));
    if (c.Dead) Message(MakeMessage(ServerMsg::Died, index));
  }
  Frame();
}

void TDemoRecorder::Message(const TNetMessage& message) { writer.Message(Time(), message); }

void TDemoRecorder::Datagram(const TDatagram& datagram) { writer.Datagram(Time(), datagram); }

void TDemoRecorder::Frame() {
  const TCharacter* me = Characters ? Characters->LocalCharacter : nullptr;
  if (!me || !me->InUse) return;
  TDemoView v;
  v.X = me->X;
  v.Y = me->Y;
  v.Z = me->Z;
  v.Yaw = me->Yaw;
  v.Pitch = me->Pitch;
  v.Health = static_cast<uint8_t>(std::clamp(me->Health, 0, 255));
  v.Armour = static_cast<uint8_t>(std::clamp(me->Armour, 0, 255));
  v.WeaponSlot = static_cast<uint8_t>(std::clamp(me->WeaponSlot, 0, 3));
  v.Dead = me->Dead;
  v.Money = me->Money;
  writer.View(Time(), v);
}

bool TDemoRecorder::Stop() {
  if (Network && Network->Server && Network->Server->Tap == this) Network->Server->Tap = nullptr;
  if (Network && Network->Client && Network->Client->Tap == this) Network->Client->Tap = nullptr;
  return writer.Finish(Time());
}

// Lower case: the console hands its other commands their argument in lower
// case, so "record Final" must make the file "demo Final" finds.
std::string DemoFilePath(const std::string& name) {
  return PlainDemoName(name) ? UserPath(TUserDir::Data, "demos/" + LowerCase(name) + ".dem") : "";
}

std::string FindDemo(const std::string& name) {
  if (name.empty()) return "";
  if (FileExists(name)) return name;
  const std::string own = DemoFilePath(name);
  if (!own.empty() && FileExists(own)) return own;
  const std::string shipped = PlainDemoName(name) ? HostPath("data\\demos\\" + name + ".dem") : "";
  return !shipped.empty() && FileExists(shipped) ? shipped : "";
}

std::string StartRecording(const std::string& name) {
  if (DemoRecorder) return "Already recording " + DemoRecorder->Path + " (stoprecord ends it).";
  const std::string path = DemoFilePath(name);
  if (path.empty()) return "record <name>: a name of letters, digits, '-' and '_'.";
  auto* recorder = new TDemoRecorder();
  std::string error;
  if (!recorder->Start(path, error)) {
    delete recorder;
    return "record: " + error;
  }
  DemoRecorder = recorder;
  return "Recording " + path;
}

std::string StopRecording() {
  if (!DemoRecorder) return "Not recording.";
  TDemoRecorder* recorder = DemoRecorder;
  DemoRecorder = nullptr;
  const bool complete = recorder->Stop();
  const std::string line = complete ? "Recorded " + recorder->Path + " (" + std::to_string(recorder->Bytes()) +
                                          " bytes, " + std::to_string(recorder->Time() / 1000) + " s)"
                                    : "Recording " + recorder->Path + " failed: the file is incomplete.";
  delete recorder;
  return line;
}
