// Sounds synthesised into 16-bit PCM WAV files: the menu click, the gun shot
// and the looping theme (a "smpl" chunk declares one loop over the whole
// file, which is what makes the game loop it).
#include "canvas.h"
#include "generators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 255);
  s += static_cast<char>((v >> 8) & 255);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

std::string Wav(const std::vector<float>& samples, bool loop) {
  std::string data;
  for (float v : samples) Put16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32000))));
  std::string fmt;
  Put16(fmt, 1);  // PCM
  Put16(fmt, 1);  // mono
  Put32(fmt, kRate);
  Put32(fmt, kRate * 2);
  Put16(fmt, 2);
  Put16(fmt, 16);
  std::string body = "WAVEfmt ";
  Put32(body, static_cast<uint32_t>(fmt.size()));
  body += fmt;
  body += "data";
  Put32(body, static_cast<uint32_t>(data.size()));
  body += data;
  if (loop) {
    // smpl: manufacturer, product, sample period (ns), MIDI unity note, pitch
    // fraction, SMPTE format and offset, loop count, sampler data size, then
    // one loop record: id, type (0 forward), start, end, fraction, play count
    // (0 endless).
    std::string smpl;
    for (uint32_t v : {0u, 0u, 1000000000u / kRate, 60u, 0u, 0u, 0u, 1u, 0u}) Put32(smpl, v);
    for (uint32_t v : {0u, 0u, 0u, static_cast<uint32_t>(samples.size() - 1), 0u, 0u}) Put32(smpl, v);
    body += "smpl";
    Put32(body, static_cast<uint32_t>(smpl.size()));
    body += smpl;
  }
  std::string file = "RIFF";
  Put32(file, static_cast<uint32_t>(body.size()));
  return file + body;
}

// A short wooden tick.
std::vector<float> Click() {
  std::vector<float> s(kRate / 25);
  TRng rng(801);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::exp(-t * 220);
    s[i] = static_cast<float>(env * (0.6 * std::sin(2 * kPi * 1900 * t) + 0.4 * (rng.Uniform(-1, 1))));
  }
  return s;
}

// A gun shot: a noise burst with a falling low thump and a fading tail.
std::vector<float> Shot() {
  std::vector<float> s(kRate * 6 / 10);
  TRng rng(811);
  double low = 0, phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double noise = rng.Uniform(-1, 1);
    low += (noise - low) * 0.12;  // darker noise for the body of the bang
    phase += 2 * kPi * (140 * std::exp(-t * 18) + 45) / kRate;
    const double crack = noise * std::exp(-t * 90);
    const double body = low * 2.2 * std::exp(-t * 9);
    const double thump = std::sin(phase) * std::exp(-t * 14);
    s[i] = static_cast<float>(0.55 * crack + 0.5 * body + 0.6 * thump);
  }
  return s;
}

// The theme: 24 s, a slow minor progression on a detuned pad, a bass pulse
// and a sparse bell melody; every voice ends where it began so the loop
// point is seamless.
std::vector<float> Theme() {
  constexpr double kSeconds = 24, kBar = 3;
  std::vector<float> s(static_cast<size_t>(kSeconds * kRate));
  // A minor: Am, F, C, G, Am, F, Dm, E (root notes as MIDI numbers).
  const int roots[8] = {57, 53, 60, 55, 57, 53, 50, 52};
  const int thirds[8] = {3, 4, 4, 4, 3, 4, 3, 4};
  const int melody[16] = {69, 72, 76, 74, 72, 69, 72, 71, 69, 76, 77, 76, 74, 72, 71, 68};
  auto freq = [](double midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); };
  auto g = [&](double t) {
    const int bar = static_cast<int>(t / kBar) % 8;
    const double inBar = std::fmod(t, kBar);
    // Chords cross-fade over the first 0.3 s of each bar.
    const int prev = (bar + 7) % 8;
    const double fade = std::min(1.0, inBar / 0.3);
    double pad = 0;
    for (int which = 0; which < 2; ++which) {
      const int b = which == 0 ? bar : prev;
      const double w = which == 0 ? fade : 1 - fade;
      if (w <= 0) continue;
      for (int note : {0, thirds[b], 7, 12})
        for (double detune : {-0.08, 0.08}) {
          const double f = freq(roots[b] - 12 + note + detune);
          pad += w * std::sin(2 * kPi * f * t) * 0.05;
        }
    }
    // Bass on every beat (three per bar), short decay.
    const double beat = std::fmod(inBar, 1.0);
    const double bass = std::sin(2 * kPi * freq(roots[bar] - 24) * t) * std::exp(-beat * 5) * 0.32;
    // Bell: one note every 1.5 s, partials with quick decay.
    const double step = 1.5;
    const int n = static_cast<int>(t / step) % 16;
    const double since = std::fmod(t, step);
    const double bf = freq(melody[n]);
    const double bell = (std::sin(2 * kPi * bf * since) + 0.4 * std::sin(2 * kPi * bf * 2.76 * since)) *
                        std::exp(-since * 3.5) * 0.16 * std::min(1.0, since * 400);
    // A low drone swelling with the bar keeps the tension up.
    const double drone = std::sin(2 * kPi * freq(45) * t) * (0.08 + 0.04 * std::sin(2 * kPi * t / kBar));
    return pad + bass + bell + drone;
  };
  // The first 0.25 s fade in from the continuation of the last sample, so the
  // jump back to the start is continuous in every voice's phase.
  const size_t fade = kRate / 4;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double w = i < fade ? static_cast<double>(i) / fade : 1.0;
    s[i] = static_cast<float>(w * g(t) + (1 - w) * (i < fade ? g(t + kSeconds) : 0.0));
  }
  return s;
}

}  // namespace

void BuildSounds(TDataTree& tree) {
  tree.Add("sound/click.wav", Wav(Click(), false));
  tree.Add("sound/schuss.wav", Wav(Shot(), false));
  tree.Add("sound/vedizi_theme.wav", Wav(Theme(), true));
}
