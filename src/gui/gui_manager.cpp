// TGUIclass: windows, stacking order, skins, fonts and the .gui loader.
#include "gui/gui_manager.h"

#include "core/convert.h"
#include "core/logger.h"
#include "core/paths.h"
#include "core/platform.h"
#include "gui/gui_stream.h"
#include "render/textures.h"
#include "core/binary_file.h"

TGUIclass* GUIManager = nullptr;

// Builds a font's display lists (font_draw.cpp).
void BuildFontLists(TFont& font, const TFontGlyphs& glyphs);

static constexpr const char* kDefaultBackground = "data\\skins\\default.tga";
static constexpr const char* kBoxCaption = "GUI";

static void LogGUIError(const std::string& message) {
  if (Logger) Logger->LogError(message, "GUI");
}

TGUIclass::TGUIclass() : TextureLoader(LoadTexture), FontListBuilder(BuildFontLists) {
  Windows.push_back(std::make_unique<TWindow>(this));
  ZRanks.assign(1, -1);
  Texts.push_back(std::make_unique<TText>());
  Texts[0]->Window = Windows[0].get();
  Skins.emplace_back();
  Fonts.emplace_back();
  PressedObject = HoveredObject = FocusedObject = ActiveObject = Windows[0].get();
}

TGUIclass::~TGUIclass() = default;

int32_t TGUIclass::WindowIndex(const TWindow* window) const {
  if (window->Index >= 0 && window->Index < static_cast<int32_t>(Windows.size()) &&
      Windows[window->Index].get() == window)
    return window->Index;
  for (size_t i = 0; i < Windows.size(); ++i)
    if (Windows[i].get() == window) return static_cast<int32_t>(i);
  return -1;
}

const TSkin* TGUIclass::SkinAt(int32_t index) const {
  return index >= 0 && index < static_cast<int32_t>(Skins.size()) ? &Skins[index] : nullptr;
}

const TFont* TGUIclass::FontAt(int32_t index) const {
  return index >= 0 && index < static_cast<int32_t>(Fonts.size()) ? &Fonts[index] : nullptr;
}

void TGUIclass::SetFocus(TGUIObject* object) {
  if (FocusedObject) FocusedObject->HasFocus = false;
  FocusedObject = object;
  if (object) object->HasFocus = true;
}

void TGUIclass::ForgetObjectsOf(TWindow& window) {
  for (TGUIObject** p : {&PressedObject, &HoveredObject, &FocusedObject, &ActiveObject})
    if (*p && *p != &window && (*p)->Window == &window) *p = &window;
}

// Unlike the adders, a window slot is the last free one anywhere in the list.
template <class List, class Free>
static int32_t LastFree(const List& list, Free isFree) {
  for (size_t i = list.size(); i-- > 0;)
    if (isFree(list[i])) return static_cast<int32_t>(i);
  return -1;
}

int32_t TGUIclass::CreateWindow(int32_t x, int32_t y, int32_t width, int32_t height, int32_t skin,
                                const std::string& caption, const std::string& backgroundFile) {
  int32_t index = LastFree(Windows, [](const std::unique_ptr<TWindow>& w) { return !w->InUse; });
  if (index < 0) {
    Windows.push_back(std::make_unique<TWindow>(this));
    index = static_cast<int32_t>(Windows.size()) - 1;
  } else {
    ForgetObjectsOf(*Windows[index]);
  }
  ZRanks.resize(Windows.size(), -1);
  ZRanks[index] = -2;
  TWindow& w = *Windows[index];
  w.ResetLists();
  w.Kind = kKindWindow;
  w.Index = index;
  w.InUse = true;
  w.Window = &w;
  w.X = x;
  w.Y = y;
  w.Width = width;
  w.Height = height;
  w.Z = 0;
  w.ZShift = 0;
  w.Visible = false;
  w.HasCaptionBar = false;
  w.IsChild = false;
  w.ShowBackground = true;
  w.Color = kGUIWhite;
  w.TextColor = kGUIWhite;
  w.Skin = skin;
  w.Caption = caption;
  w.BackgroundFile = backgroundFile;
  TextureLoader(backgroundFile, w.BackgroundTexture);
  w.CaptionHeight = 26;
  w.IsPage = false;
  w.HasHoverHandlers = false;
  w.LayoutCaptionButtons();
  UpdateZOrder();
  w.LayoutCaptionButtons();
  return index;
}

int32_t TGUIclass::CreateLoadedWindow() {
  int32_t index = CreateWindow(0, 0, 0, 0, 0, "", kDefaultBackground);
  LoadedWindows.push_back(index);
  return index;
}

void TGUIclass::UpdateZOrder() {
  const size_t n = Windows.size();
  ZRanks.resize(n, -1);
  const TWindow* pressedWindow = PressedObject ? PressedObject->Window : nullptr;
  int32_t counter = 0;
  for (size_t i = 0; i < n; ++i) {
    const TWindow& w = *Windows[i];
    if (!w.Visible || w.IsPage || !(w.Z > -1 && w.Z < 31))
      ZRanks[i] = -1;
    else if (&w == pressedWindow)
      ZRanks[i] = 11;
    else if (ZRanks[i] == -2)
      ZRanks[i] = counter++;
  }
  std::vector<int32_t> ranks = ZRanks;
  for (size_t i = 0; i < n; ++i) {
    if (ZRanks[i] < 0) continue;
    int32_t above = 0;
    for (size_t j = 0; j < n; ++j)
      if (j != i && ZRanks[j] >= 0 && ZRanks[j] > ZRanks[i]) ++above;
    ranks[i] = 10 - above;
  }
  ZRanks = ranks;
  for (size_t i = 0; i < n; ++i) {
    if (ZRanks[i] < 0) continue;
    TWindow& w = *Windows[i];
    w.SetZ(3.0f * ZRanks[i]);
    for (auto& frames : w.FramesList) frames->SetZ(w.Z + 1.5f);
  }
}

void TGUIclass::BringToFront(const TWindow& window) {
  if (window.Index < 0 || static_cast<size_t>(window.Index) >= Windows.size() || Windows[window.Index].get() != &window)
    return;
  ZRanks.resize(Windows.size(), -1);
  // Above the pressed window's rank, which UpdateZOrder sets to 11.
  ZRanks[static_cast<size_t>(window.Index)] = 12;
  UpdateZOrder();
}

// A .gui file, all little-endian (the window record is documented in
// window.cpp, the class data beside each class):
//   header     three str (file type, author, version), ignored
//   count      cnt: number of windows - 1
//   windows    window record, count + 1 times
bool TGUIclass::LoadGUIFile(const std::string& fileName, std::vector<int32_t>& indices) {
  LoadNesting = 0;
  LoadedWindows.clear();
  const size_t firstNew = Windows.size();
  const std::vector<int32_t> givenIndices = indices;
  try {
    TBinaryFile file(fileName, false);
    file.ReadHeader();
    if (file.Overread()) throw EGUIFileError(file.Position(), "file ends early");
    int32_t last = ReadCnt(file, kMinWindowRecordSize);
    for (int32_t i = 0; i <= last; ++i) {
      int32_t index = CreateLoadedWindow();
      if (i < static_cast<int32_t>(indices.size())) indices[i] = index;
      Windows[index]->Load(file);
    }
    LoadedWindows.clear();
    return true;
  } catch (const EFileOpenError& e) {
    LogGUIError(e.what());
  } catch (const EGUIFileError& e) {
    LogGUIError("Invalid GUI file \"" + fileName + "\": " + e.what());
    DropLoadedWindows(firstNew);
    indices = givenIndices;
  }
  return false;
}

// Nothing of a refused file stays: the windows it appended are removed (no one
// holds them yet), and a free slot it took is free again.
void TGUIclass::DropLoadedWindows(size_t firstNew) {
  for (int32_t index : LoadedWindows) {
    if (static_cast<size_t>(index) >= firstNew) continue;
    Windows[index]->InUse = false;
    Windows[index]->Visible = false;
    ZRanks[index] = -1;
  }
  LoadedWindows.clear();
  Windows.erase(Windows.begin() + static_cast<std::ptrdiff_t>(firstNew), Windows.end());
  if (ZRanks.size() > firstNew) ZRanks.resize(firstNew);
}

bool TGUIclass::SaveGUIFile(const std::string& fileName, const std::vector<int32_t>& windows) {
  if (windows.empty()) return false;
  for (int32_t index : windows)
    if (index < 0 || index >= static_cast<int32_t>(Windows.size())) return false;
  try {
    TBinaryFile file(fileName, true);
    file.WriteHeader("1", "GUI");
    WriteCnt(file, windows.size());
    for (int32_t index : windows) Windows[index]->Save(file);
    return true;
  } catch (const EFileOpenError& e) {
    LogGUIError(e.what());
    return false;
  }
}

// Skin element files in the order they are loaded.
static constexpr struct {
  const char* Name;
  TSkinElement Element;
} kSkinFiles[] = {
    {"panel", sePanel},           {"edit", seEdit},
    {"captionbar", seCaptionBar}, {"progress_ground", seProgressGround},
    {"progressbar", seProgressBar}, {"ground", seGround},
    {"editfield", seEditField},   {"button", seButton},
    {"button_c", seButtonC},      {"button_m", seButtonM},
    {"frame_c", seFrameC},        {"frame", seFrame},
    {"check", seCheck},           {"check_m", seCheckM},
    {"check_c", seCheckC},        {"check_m_c", seCheckMC},
    {"radio", seRadio},           {"radio_m", seRadioM},
    {"radio_c", seRadioC},        {"radio_m_c", seRadioMC},
    {"minimize", seMinimize},     {"minimize_m", seMinimizeM},
    {"normalize", seNormalize},   {"normalize_m", seNormalizeM},
    {"maximize", seMaximize},     {"maximize_m", seMaximizeM},
    {"close", seClose},           {"close_m", seCloseM},
    {"default", seDefault},       {"combobox_button", seComboboxButton},
    {"combobox", seCombobox},     {"combo_ground", seComboGround},
};
static_assert(std::size(kSkinFiles) == kSkinElementCount);

int32_t TGUIclass::LoadSkin(const std::string& directory) {
  int32_t index = LastFree(Skins, [](const TSkin& s) { return !s.InUse; });
  if (index < 0) {
    Skins.emplace_back();
    index = static_cast<int32_t>(Skins.size()) - 1;
  }
  Skins[index].InUse = true;
  for (const auto& file : kSkinFiles) LoadSkinImage(directory + file.Name, Skins[index].Textures[file.Element]);
  return index;
}

void TGUIclass::LoadSkinImage(const std::string& name, unsigned& texture) {
  for (const char* ext : {".bmp", ".tga", ".jpg", ".jpeg"}) {
    if (FileExists(HostPath(name + ext))) {
      TextureLoader(name + ext, texture);
      return;
    }
  }
  ShowMessageBox("Format is unknown or it does not exist!", kBoxCaption);
}

int32_t TGUIclass::LoadFont(const std::string& fileName, float scale) {
  int32_t index = LastFree(Fonts, [](const TFont& f) { return !f.InUse; });
  if (index < 0) {
    Fonts.emplace_back();
    index = static_cast<int32_t>(Fonts.size()) - 1;
  }
  TFont& font = Fonts[index];
  std::string base = fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
  if (fileName.size() >= 3 && SameText(fileName.substr(fileName.size() - 3), "fci")) {
    LoadFci(base, scale, font);
  } else {
    if (!LoadFnt(base, font)) ShowMessageBox("Konnte die Schrift: \"" + fileName + "\" nicht laden", kBoxCaption);
    int32_t height = FntCharHeightFromName(fileName);
    if (height < 0) {
      LogGUIError("Font name \"" + fileName + "\" has no two-digit size before its extension; using 10");
      height = 10;
    }
    font.CharHeight = height;
    font.CharWidth = GUIRound(height * 0.7);
  }
  font.InUse = true;
  return index;
}

bool TGUIclass::LoadFnt(const std::string& base, TFont& font) {
  TextureLoader(base + ".tga", font.Texture);
  std::string bytes, error;
  TFontGlyphs glyphs;
  if (!ReadWholeFile(HostPath(base + ".fnt"), bytes)) {
    LogGUIError("Cannot read font file \"" + base + ".fnt\"");
    return false;
  }
  if (!DecodeFnt(bytes, glyphs, error)) {
    LogGUIError("Font file \"" + base + ".fnt\": " + error);
    return false;
  }
  BuildGlyphLayout(glyphs, font.CharWidth, font.CharHeight, font.Glyphs);
  FontListBuilder(font, glyphs);
  return true;
}

void TGUIclass::LoadFci(const std::string& base, float scale, TFont& font) {
  std::string bytes, error;
  if (!ReadWholeFile(HostPath(base + ".fci"), bytes)) throw EFileOpenError("Cannot open file \"" + base + ".fci\"");
  TFontGlyphs glyphs;
  if (!DecodeFci(bytes, glyphs, error)) {
    // Without glyph rectangles the font keeps no lists and draws nothing.
    LogGUIError("Font file \"" + base + ".fci\": " + error);
    return;
  }
  TextureLoader(base + ".tga", font.Texture);
  font.Source = glyphs;
  LayOutFci(font, scale);
}

void TGUIclass::ScaleFont(int32_t index, float scale) {
  if (index >= 0 && index < static_cast<int32_t>(Fonts.size()) && Fonts[index].Source.IsFci)
    LayOutFci(Fonts[index], scale);
}

void TGUIclass::LayOutFci(TFont& font, float scale) {
  FciCellSize(font.Source, scale, font.CharWidth, font.CharHeight);
  BuildGlyphLayout(font.Source, font.CharWidth, font.CharHeight, font.Glyphs);
  FontListBuilder(font, font.Source);
}
