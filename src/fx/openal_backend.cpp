// The OpenAL backend and the null backend. OpenAL is loaded at run time and
// its entry points resolved by name, so a machine without the library, or
// without an audio device, still runs the game, silent. This is the only file
// that includes the OpenAL headers.
#include "fx/sound_backend.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <dlfcn.h>

#include <type_traits>

#include "core/log_sources.h"
#include "core/logger.h"
#include "fx/wav_file.h"

namespace {


// The entry points the game uses, resolved from the loaded library.
struct TOpenALApi {
  LPALCOPENDEVICE OpenDevice = nullptr;
  LPALCCLOSEDEVICE CloseDevice = nullptr;
  LPALCCREATECONTEXT CreateContext = nullptr;
  LPALCDESTROYCONTEXT DestroyContext = nullptr;
  LPALCMAKECONTEXTCURRENT MakeContextCurrent = nullptr;
  LPALCGETSTRING GetDeviceString = nullptr;
  LPALGETERROR GetError = nullptr;
  LPALGENBUFFERS GenBuffers = nullptr;
  LPALDELETEBUFFERS DeleteBuffers = nullptr;
  LPALBUFFERDATA BufferData = nullptr;
  LPALGENSOURCES GenSources = nullptr;
  LPALDELETESOURCES DeleteSources = nullptr;
  LPALSOURCEI Sourcei = nullptr;
  LPALSOURCEF Sourcef = nullptr;
  LPALSOURCE3F Source3f = nullptr;
  LPALSOURCEPLAY SourcePlay = nullptr;
  LPALSOURCESTOP SourceStop = nullptr;
  LPALLISTENERFV Listenerfv = nullptr;
};

// Loads the library and fills api; on failure returns why. The library stays
// loaded for the rest of the process: OpenAL keeps threads and exit handlers
// that must not lose their code.
std::string LoadApi(const std::string& library, TOpenALApi& api) {
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    return "the OpenAL library " + library + " cannot be loaded (" + (why ? why : "unknown") + ")";
  }
  std::string missing;
  auto resolve = [&](auto& entry, const char* name) {
    entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(handle, name));
    if (!entry) missing += (missing.empty() ? "" : ", ") + std::string(name);
  };
  resolve(api.OpenDevice, "alcOpenDevice");
  resolve(api.CloseDevice, "alcCloseDevice");
  resolve(api.CreateContext, "alcCreateContext");
  resolve(api.DestroyContext, "alcDestroyContext");
  resolve(api.MakeContextCurrent, "alcMakeContextCurrent");
  resolve(api.GetDeviceString, "alcGetString");
  resolve(api.GetError, "alGetError");
  resolve(api.GenBuffers, "alGenBuffers");
  resolve(api.DeleteBuffers, "alDeleteBuffers");
  resolve(api.BufferData, "alBufferData");
  resolve(api.GenSources, "alGenSources");
  resolve(api.DeleteSources, "alDeleteSources");
  resolve(api.Sourcei, "alSourcei");
  resolve(api.Sourcef, "alSourcef");
  resolve(api.Source3f, "alSource3f");
  resolve(api.SourcePlay, "alSourcePlay");
  resolve(api.SourceStop, "alSourceStop");
  resolve(api.Listenerfv, "alListenerfv");
  if (!missing.empty()) return "the OpenAL library " + library + " lacks " + missing;
  return "";
}

class TOpenALBackend : public TSoundBackend {
 public:
  TOpenALBackend(const TOpenALApi& api, ALCdevice* device, ALCcontext* context)
      : al(api), device(device), context(context) {}
  ~TOpenALBackend() override {
    al.MakeContextCurrent(nullptr);
    al.DestroyContext(context);
    al.CloseDevice(device);
  }

  bool Audible() const override { return true; }

  unsigned CreateBuffer() override {
    ALuint name = 0;
    Checked([&] { al.GenBuffers(1, &name); }, "Cannot create Buffer");
    return name;
  }
  void DeleteBuffer(unsigned buffer) override {
    ALuint name = buffer;
    Checked([&] { al.DeleteBuffers(1, &name); }, "Cannot delete Buffer");
  }
  void FillBuffer(unsigned buffer, const TWavData& wav) override {
    Checked([&] { al.BufferData(buffer, wav.Format, wav.Size ? wav.Data.data() : nullptr, wav.Size, wav.Frequency); },
            "Cannot assign wave data to buffer");
  }
  unsigned CreateSource() override {
    ALuint name = 0;
    Checked([&] { al.GenSources(1, &name); }, "Cannot create Source");
    return name;
  }
  void DeleteSource(unsigned source) override {
    ALuint name = source;
    Checked([&] { al.DeleteSources(1, &name); }, "Cannot delete Source");
  }
  void AttachBuffer(unsigned source, unsigned buffer) override {
    al.Sourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  }
  void ApplySettings(unsigned source, const TSourceSettings& s) override {
    al.Sourcef(source, AL_PITCH, s.Pitch);
    al.Sourcef(source, AL_GAIN, s.Gain);
    al.Source3f(source, AL_POSITION, s.Position[0], s.Position[1], s.Position[2]);
    al.Source3f(source, AL_VELOCITY, s.Velocity[0], s.Velocity[1], s.Velocity[2]);
    al.Sourcei(source, AL_LOOPING, s.Looping ? AL_TRUE : AL_FALSE);
    al.Sourcei(source, AL_SOURCE_RELATIVE, s.Relative ? AL_TRUE : AL_FALSE);
    al.Sourcef(source, AL_REFERENCE_DISTANCE, s.ReferenceDistance);
  }
  void Play(unsigned source) override { al.SourcePlay(source); }
  void Stop(unsigned source) override { al.SourceStop(source); }
  void SetListener(const float (&position)[3], const float (&orientation)[6]) override {
    al.Listenerfv(AL_POSITION, position);
    al.Listenerfv(AL_ORIENTATION, orientation);
  }

 private:
  // Runs call with OpenAL's error cleared first, and throws failure when the
  // call left an error.
  template <typename Call>
  void Checked(Call&& call, const char* failure) {
    al.GetError();
    call();
    if (al.GetError() != AL_NO_ERROR) throw EOpenALError(failure);
  }

  TOpenALApi al;
  ALCdevice* device;
  ALCcontext* context;
};

class TNullBackend : public TSoundBackend {
 public:
  bool Audible() const override { return false; }
  unsigned CreateBuffer() override { return 0; }
  void DeleteBuffer(unsigned) override {}
  void FillBuffer(unsigned, const TWavData&) override {}
  unsigned CreateSource() override { return 0; }
  void DeleteSource(unsigned) override {}
  void AttachBuffer(unsigned, unsigned) override {}
  void ApplySettings(unsigned, const TSourceSettings&) override {}
  void Play(unsigned) override {}
  void Stop(unsigned) override {}
};

std::unique_ptr<TSoundBackend> Silent(const std::string& why) {
  if (Logger) Logger->LogInfo("No sound: " + why + "; the game runs silent", LogSource::Sound);
  return NullSoundBackend();
}

}  // namespace

std::unique_ptr<TSoundBackend> NullSoundBackend() { return std::make_unique<TNullBackend>(); }

std::unique_ptr<TSoundBackend> OpenSoundBackend(const TSoundOptions& options) {
  TOpenALApi api;
  std::string failure = LoadApi(options.Library, api);
  if (!failure.empty()) return Silent(failure);
  // The game asks for the device by its Windows name; everywhere else that
  // is the default device.
  const bool byDefault = options.Device.empty() || options.Device == "DirectSound3D";
  ALCdevice* device = api.OpenDevice(byDefault ? nullptr : options.Device.c_str());
  if (!device) return Silent("the audio device \"" + options.Device + "\" cannot be opened");
  ALCcontext* context = api.CreateContext(device, nullptr);
  if (!context || !api.MakeContextCurrent(context)) {
    if (context) api.DestroyContext(context);
    api.CloseDevice(device);
    return Silent("no OpenAL context on the audio device \"" + options.Device + "\"");
  }
  const char* name = api.GetDeviceString(device, ALC_DEVICE_SPECIFIER);
  if (Logger) Logger->LogInfo(std::string("Sound device: ") + (name ? name : "?"), LogSource::Sound);
  return std::make_unique<TOpenALBackend>(api, device, context);
}
