// One GUI frame: 20 visible windows of 50 widgets each, every one with a
// skin image and most with text, drawn through the font's display lists.
// Runs on the display in DISPLAY (Xvfb with Mesa in CI); the figure is the
// time per frame, glFinish included.
#include "core/gl_api.h"
#include "core/paths.h"
#include "gui/gui_manager.h"
#include "render/image_writers.h"

#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kScreenW = 1024, kScreenH = 768;

std::string Tga(int size, uint8_t seed) {
  std::vector<uint8_t> bgra;
  for (int i = 0; i < size * size; ++i) {
    uint8_t v = static_cast<uint8_t>(seed + i * 13);
    bgra.insert(bgra.end(), {v, static_cast<uint8_t>(v ^ 0x55), seed, static_cast<uint8_t>(v | 0x80)});
  }
  return TGAFileBytes(size, size, bgra, 32);
}

// Opened once for both runs. Xvfb may still be starting when the bench
// starts, so the display gets a few tries.
bool OpenWindow() {
  static bool open = false;
  if (open) return true;
  if (!std::getenv("DISPLAY")) return false;
  setenv("SDL_VIDEODRIVER", "x11", 0);  // the only SDL driver with OpenGL
  for (int attempt = 0; attempt < 20 && !open; ++attempt) {
    if (attempt) SDL_Delay(100);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) continue;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    open = SDL_SetVideoMode(kScreenW, kScreenH, 0, SDL_OPENGL) != nullptr;
    if (!open) SDL_Quit();
  }
  if (!open) return false;
  glext::LoadGLExtensions();
  glViewport(0, 0, kScreenW, kScreenH);
  return true;
}

// Skin, font and windows written to a temporary directory and loaded.
void BuildScreen(TGUIclass& gui, const std::string& dir, bool withText) {
  const char* elements[] = {"panel", "edit", "captionbar", "progress_ground", "progressbar", "ground", "editfield",
                            "button", "button_c", "button_m", "frame_c", "frame", "check", "check_m", "check_c",
                            "check_m_c", "radio", "radio_m", "radio_c", "radio_m_c", "minimize", "minimize_m",
                            "normalize", "normalize_m", "maximize", "maximize_m", "close", "close_m", "default",
                            "combobox_button", "combobox", "combo_ground"};
  uint8_t seed = 1;
  for (const char* name : elements) WriteFileAtomic(dir + name + ".tga", Tga(32, seed++));
  WriteFileAtomic(dir + "bg.tga", Tga(64, 200));
  WriteFileAtomic(dir + "font10.tga", Tga(256, 7));
  std::string widths;
  for (int c = 0; c < 256; ++c) widths += static_cast<char>(5 + c % 8);
  WriteFileAtomic(dir + "font10.fnt", widths);
  gui.LoadFont(dir + "font10.fnt", 1);
  gui.LoadSkin(dir);
  for (int i = 0; i < 20; ++i) {
    TWindow& w = *gui.Windows[gui.CreateWindow(20 + 30 * i, 10 + 15 * i, 320, 420, 0, "Window " + std::to_string(i),
                                               dir + "bg.tga")];
    w.HasCaptionBar = true;
    w.MinimizeButton.Visible = w.MaximizeButton.Visible = w.CloseButton.Visible = true;
    for (int k = 0; k < 10; ++k) w.AddButton(10 + 150 * (k % 2), 30 + 25 * (k / 2), 140, 22, "Button " + std::to_string(k));
    for (int k = 0; k < 10; ++k) w.AddText(10 + 150 * (k % 2), 160 + 14 * (k / 2), "Label " + std::to_string(k), kGUIWhite);
    for (int k = 0; k < 8; ++k) w.AddEdit(10 + 150 * (k % 2), 235 + 24 * (k / 2), 140, 22, "edit text " + std::to_string(k));
    for (int k = 0; k < 6; ++k) w.AddCheckbox(10 + 20 * k, 335, 16, 16, k % 2);
    for (int k = 0; k < 6; ++k) w.AddPanel(150 + 25 * k, 335, 22, 22);
    for (int k = 0; k < 4; ++k) w.ProgressBars[w.AddProgressBar(10 + 75 * k, 360, 70, 12)]->Position = 0.25f * k;
    for (int k = 0; k < 3; ++k) w.AddTextField(10 + 100 * k, 378, 95, 30, "two lines\rof text\r", -1);
    for (int k = 0; k < 3; ++k) w.AddCombobox(10 + 100 * k, 400, 95, 18, "choice " + std::to_string(k));
    w.SetVisible(true);
  }
  // The comparison run: the same widgets with nothing to write.
  if (!withText) gui.Fonts[0].ListBase = 0;
}

void BM_GuiDraw(benchmark::State& state, bool withText) {
  if (!OpenWindow()) {
    state.SkipWithError((std::string("no OpenGL window: ") + SDL_GetError()).c_str());
    return;
  }
  std::string dir = (std::filesystem::temp_directory_path() / "grimvale-bench-gui/").string();
  std::filesystem::create_directories(dir);
  TGUIclass gui;
  BuildScreen(gui, dir, withText);
  glEnable(GL_DEPTH_TEST);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gui.SetOrtho(kScreenW, kScreenH, -40, 40);
    gui.Draw();
    glFinish();
  }
  state.counters["widgets"] = 20 * 50;
  std::filesystem::remove_all(dir);
}
BENCHMARK_CAPTURE(BM_GuiDraw, with_text, true)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_CAPTURE(BM_GuiDraw, without_text, false)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
