// The setup dialog: five pages filled from the configuration when it opens
// and written back by Apply.
#include "core/config.h"
#include "core/convert.h"
#include "core/logger.h"
#include "frontend/gui_add.h"
#include "frontend/windows.h"
#include "gui/gui_manager.h"

#include <algorithm>
#include <cmath>

namespace {
enum { kVideoPage = 0, kSoundPage = 1, kMousePage = 3, kMiscPage = 4 };
const char* const kResolutions[] = {"800 * 600", "1024 * 768", "1152 * 864", "1280 * 800", "1280 * 1024", "1600 * 1200"};
const char* const kBitDepths[] = {"8", "16", "24", "32"};

TWindow* Page(int32_t page) {
  TWindow* w = Win(SetupWindow);
  if (!w || w->FramesList.empty()) return nullptr;
  const auto& pages = w->FramesList[0]->Pages;
  return page < static_cast<int32_t>(pages.size()) ? pages[static_cast<size_t>(page)] : nullptr;
}

template <class T>
T* At(std::vector<std::unique_ptr<T>>& list, size_t i) {
  return i < list.size() ? list[i].get() : nullptr;
}

// The first items keep their place in the file and get these texts; the
// rest are added. Done once: opening the dialog again must not add them twice.
void SetItems(TCombobox* box, const char* const* items, size_t count) {
  if (!box) return;
  for (size_t i = 0; i < count; ++i) {
    if (i < box->Items.size())
      box->Items[i]->Caption = items[i];
    else
      box->AddItem(items[i]);
  }
}

void Select(TCombobox* box, int32_t index) {
  if (!box || box->ItemCount() == 0) return;
  box->Selected = std::clamp(index, 0, box->ItemCount() - 1);
  box->Text = box->Items[static_cast<size_t>(box->Selected)]->Caption;
}

void SetCheck(TWindow* page, size_t i, bool value) {
  if (TCheckbox* c = page ? At(page->Checkboxes, i) : nullptr) c->Checked = value;
}
bool GetCheck(TWindow* page, size_t i, bool def) {
  TCheckbox* c = page ? At(page->Checkboxes, i) : nullptr;
  return c ? c->Checked : def;
}
void SetBar(TWindow* page, size_t i, float value) {
  if (TProgressBar* b = page ? At(page->ProgressBars, i) : nullptr) b->Position = value;
}
float GetBar(TWindow* page, size_t i, float def) {
  TProgressBar* b = page ? At(page->ProgressBars, i) : nullptr;
  return b ? std::clamp(b->Position, 0.0f, 1.0f) : def;
}
void SetEdit(TWindow* page, size_t i, const std::string& text) {
  if (TEdit* e = page ? At(page->Edits, i) : nullptr) e->Text = text;
}
// A field that holds no number leaves the setting as it was.
double GetNumber(TWindow* page, size_t i, double def) {
  TEdit* e = page ? At(page->Edits, i) : nullptr;
  return e ? StrToFloatDef(e->Text, def) : def;
}
int32_t Selected(TWindow* page, size_t i, int32_t def) {
  TCombobox* c = page ? At(page->Comboboxes, i) : nullptr;
  return c ? c->Selected : def;
}
}  // namespace

void AttachSetupCallbacks() {
  TWindow* w = Win(SetupWindow);
  if (!w) return;
  if (TWindow* video = Page(kVideoPage)) {
    SetItems(At(video->Comboboxes, 0), kResolutions, std::size(kResolutions));
    SetItems(At(video->Comboboxes, 2), kBitDepths, std::size(kBitDepths));
  }
  for (int32_t page : {kSoundPage, kMousePage})
    if (TWindow* p = Page(page))
      for (auto& bar : p->ProgressBars)
        if (bar->InUse) bar->SetOnMouseDown(SliderMouseDown);
  if (w->Buttons.size() > 1) {
    w->Buttons[0]->SetOnClick([](int32_t, int32_t, TGUIObject*, int32_t) { HideWindow(SetupWindow); });
    w->Buttons[1]->SetOnClick([](int32_t, int32_t, TGUIObject*, int32_t) { ApplySetup(); });
  }
}

void OpenSetup() {
  if (!GameVars) return;
  const TVideoConfig& video = *GameVars->Video;
  TWindow* page = Page(kVideoPage);
  if (page) {
    Select(At(page->Comboboxes, 0), video.ResolutionIndex());
    Select(At(page->Comboboxes, 1), video.GraphicQuality);
    Select(At(page->Comboboxes, 2), video.BitDepthIndex());
  }
  SetEdit(page, 0, FloatToStr(video.Gamma));
  SetCheck(page, 0, video.EnableShader());
  SetCheck(page, 1, video.GoWindowMode);
  SetCheck(page, 2, video.VerticalSyncronisation);
  const TAudioConfig& audio = *GameVars->Audio;
  page = Page(kSoundPage);
  SetBar(page, 1, audio.SoundVolume());
  SetBar(page, 0, audio.MusicVolume());
  SetCheck(page, 1, audio.Sound());
  SetCheck(page, 0, audio.Music());
  const TMouseConfig& mouse = *GameVars->Mouse;
  page = Page(kMousePage);
  SetBar(page, 1, mouse.MouseSpeed);
  SetBar(page, 0, static_cast<float>(std::sqrt(std::max(0.0f, mouse.MouseAcc)) / 2));
  SetCheck(page, 0, mouse.InvertMouse);
  const TMiscConfig& misc = *GameVars->Misc;
  page = Page(kMiscPage);
  SetCheck(page, 0, misc.ShowDebug);
  SetEdit(page, 0, std::to_string(misc.Sleep));
  SetEdit(page, 1, FloatToStr(misc.NearClipping));
  SetEdit(page, 2, FloatToStr(misc.FarClipping));
  ShowCentred(SetupWindow);
}

void ApplySetup() {
  if (!GameVars) return;
  TVideoConfig& video = *GameVars->Video;
  TWindow* page = Page(kVideoPage);
  video.SetResolutionIndex(Selected(page, 0, video.ResolutionIndex()));
  video.GraphicQuality = Selected(page, 1, video.GraphicQuality);
  video.SetBitDepthIndex(Selected(page, 2, video.BitDepthIndex()));
  video.Gamma = static_cast<float>(GetNumber(page, 0, video.Gamma));
  video.SetEnableShader(GetCheck(page, 0, video.EnableShader()));
  video.GoWindowMode = GetCheck(page, 1, video.GoWindowMode);
  video.VerticalSyncronisation = GetCheck(page, 2, video.VerticalSyncronisation);
  TAudioConfig& audio = *GameVars->Audio;
  page = Page(kSoundPage);
  audio.SetSoundVolume(GetBar(page, 1, audio.SoundVolume()));
  audio.SetMusicVolume(GetBar(page, 0, audio.MusicVolume()));
  audio.SetSound(GetCheck(page, 1, audio.Sound()));
  audio.SetMusic(GetCheck(page, 0, audio.Music()));
  TMouseConfig& mouse = *GameVars->Mouse;
  page = Page(kMousePage);
  mouse.MouseSpeed = GetBar(page, 1, mouse.MouseSpeed);
  float acc = 2 * GetBar(page, 0, std::sqrt(std::max(0.0f, mouse.MouseAcc)) / 2);
  mouse.MouseAcc = acc * acc;
  mouse.InvertMouse = GetCheck(page, 0, mouse.InvertMouse);
  TMiscConfig& misc = *GameVars->Misc;
  page = Page(kMiscPage);
  misc.ShowDebug = GetCheck(page, 0, misc.ShowDebug);
  misc.Sleep = static_cast<int32_t>(std::clamp(GetNumber(page, 0, misc.Sleep), 0.0, 1000.0));
  misc.NearClipping = static_cast<float>(GetNumber(page, 1, misc.NearClipping));
  misc.FarClipping = static_cast<float>(GetNumber(page, 2, misc.FarClipping));
  misc.ClampClipping();
  // Written at once, so that the settings survive a run that does not end cleanly.
  try {
    for (TAllConfig* section : {static_cast<TAllConfig*>(GameVars->Video), static_cast<TAllConfig*>(GameVars->Audio),
                                static_cast<TAllConfig*>(GameVars->Mouse), static_cast<TAllConfig*>(GameVars->Misc)})
      section->Save();
  } catch (const std::exception& e) {
    // The settings stay in effect; the file is written again at the end of the run.
    if (Logger) Logger->LogError(e.what(), "GUIAdds");
  }
  HideWindow(SetupWindow);
}
