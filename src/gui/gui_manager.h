// The GUI manager: owner of every window, skin and font, the stacking order,
// the .gui loader, and the mouse and keyboard dispatch. Drawing is in
// gui_draw.cpp and font_draw.cpp.
#pragma once
#include "gui/font.h"
#include "gui/window.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Skin elements in the order of the skin record.
enum TSkinElement {
  sePanel, seEdit, seCaptionBar, seProgressGround, seProgressBar, seGround, seEditField, seButton, seButtonC,
  seButtonM, seFrame, seFrameC, seCheck, seCheckM, seCheckC, seCheckMC, seRadio, seRadioM, seRadioC, seRadioMC,
  seMinimize, seMinimizeM, seNormalize, seNormalizeM, seMaximize, seMaximizeM, seClose, seCloseM, seDefault,
  seCombobox, seComboboxButton, seComboGround, kSkinElementCount
};

struct TSkin {
  unsigned Textures[kSkinElementCount] = {};  // 0 while not loaded
  bool InUse = false;
};

struct TFont {
  unsigned Texture = 0;
  unsigned ListBase = 0;  // first of 256 display lists, 0 when none were built (then nothing is drawn)
  int32_t CharWidth = 0;
  int32_t CharHeight = 0;
  bool InUse = false;
  TGlyphLayout Glyphs{};  // set by LoadFont with the file and scale
  TFontGlyphs Source{};   // an ".fci" font's rectangles, kept for ScaleFont
};

class TGUIclass {
 public:
  // Init: one free window, text, skin and font; every object pointer starts
  // at the free window so none is ever null.
  TGUIclass();
  ~TGUIclass();
  TGUIclass(const TGUIclass&) = delete;
  TGUIclass& operator=(const TGUIclass&) = delete;

  bool Dragging = false;
  bool MouseDownActive = false;
  int32_t LastMouseX = 0, LastMouseY = 0;
  TGUIObject* PressedObject = nullptr;
  TGUIObject* HoveredObject = nullptr;
  std::vector<int32_t> ZRanks;  // per window: -1 unranked, -2 newly shown, else rank
  uint16_t LastKey = 0;
  uint16_t LastUnicode = 0;  // the character LastKey gave, for the key repeat
  TGUIObject* FocusedObject = nullptr;
  bool Shift = false, AltGr = false;
  TGUIObject* ActiveObject = nullptr;
  bool CaretVisible = false;
  TGUIList<TWindow> Windows;
  TGUIList<TText> Texts;  // drawn in screen coordinates
  std::vector<TSkin> Skins;
  std::vector<TFont> Fonts;
  int32_t ScreenWidth = 800, ScreenHeight = 600;  // the event handler keeps these current

  // How images and glyph lists reach the graphics card. Default: the texture
  // loader and display lists; tools and tests without a display replace them.
  std::function<void(const std::string& fileName, unsigned& texture)> TextureLoader;
  std::function<void(TFont& font, const TFontGlyphs& glyphs)> FontListBuilder;

  int32_t CreateWindow(int32_t x, int32_t y, int32_t width, int32_t height, int32_t skin, const std::string& caption,
                       const std::string& backgroundFile);
  // Reads every window of a .gui file; indices[i] receives the i-th window's
  // index. False (with a log line naming the file and offset) when the file
  // cannot be read or is invalid; then no window of it remains and indices
  // keep their values.
  bool LoadGUIFile(const std::string& fileName, std::vector<int32_t>& indices);
  // Writes windows as a .gui file (the program's layouts are made by guitool).
  bool SaveGUIFile(const std::string& fileName, const std::vector<int32_t>& windows);
  int32_t LoadSkin(const std::string& directory);
  void LoadSkinImage(const std::string& name, unsigned& texture);
  int32_t LoadFont(const std::string& fileName, float scale);
  bool LoadFnt(const std::string& base, TFont& font);
  void LoadFci(const std::string& base, float scale, TFont& font);
  // Lays an ".fci" font out afresh at another scale, keeping its texture, for
  // text that follows the screen size; other fonts and indices stay as they are.
  void ScaleFont(int32_t index, float scale);
  void UpdateZOrder();
  // Puts a visible window above every other, even the one whose button
  // opened it while that button is still counted as pressed.
  void BringToFront(const TWindow& window);
  // A window as the .gui loader makes one before reading its record into it;
  // the load in progress drops it again if the file is refused.
  int32_t CreateLoadedWindow();
  // Nesting depth of the window record being read (tab pages, child windows).
  int32_t LoadNesting = 0;

  // One string in the current colour, drawn at once (after any queued text).
  void DrawText(int32_t x, int32_t y, float z, int32_t font, const std::string& text) const;
  // Widget text waits in a queue and goes out as one draw per font when a
  // quad is about to cover it or the window is done: the software renderer
  // pays per draw far more than per glyph. Order is kept where it can show:
  // a widget whose rectangle meets queued text flushes the queue first, so
  // each pixel still receives its draws in the order the widgets give.
  void QueueText(int32_t x, int32_t y, float z, int32_t font, const std::string& text, const TGUIColor& color) const;
  bool QueuedTextMeets(float x1, float y1, float x2, float y2) const;
  void FlushText() const;
  void Draw() const;
  void SetOrtho(int32_t width, int32_t height, double zNear, double zFar) const;
  void SetPerspective(double fovY, double aspect, double zNear, double zFar) const;

  void MouseMove(int32_t x, int32_t y);
  void MouseDown(int32_t x, int32_t y, int32_t button);
  void MouseUp(int32_t x, int32_t y, int32_t button);
  // unicode: the character the player's keyboard layout gave the key (0
  // when unknown). Edits take it when it has a Windows-1252 byte, else the
  // German table of KeyToChar.
  void KeyDown(uint16_t key, uint16_t unicode = 0);
  void KeyUp(uint16_t key);
  // The character a key gives on a German keyboard (Windows-1252), or "".
  std::string KeyToChar(uint16_t key) const;
  // The Windows-1252 byte of a printable UCS-2 character, or "" (control
  // characters and characters the code page lacks).
  static std::string Windows1252Char(uint16_t unicode);
  // SDL key symbols of the editing keys to Windows virtual key codes.
  static uint16_t TranslateKey(uint16_t key);

  // An edit or edit field has the keyboard focus: keys type text.
  bool WantsText() const;
  // Moves the keyboard focus (clearing the old object's HasFocus).
  void SetFocus(TGUIObject* object);
  // Index of a window in Windows, or -1.
  int32_t WindowIndex(const TWindow* window) const;
  const TSkin* SkinAt(int32_t index) const;
  const TFont* FontAt(int32_t index) const;

 private:
  // Text queued by QueueText (font_draw.cpp): per vertex u, v, r, g, b, a,
  // x, y, z, and the screen rectangle of each string.
  struct TTextQueue {
    int32_t Font = -1;
    std::vector<float> Vertices;
    std::vector<std::array<float, 4>> Rects;
  };
  mutable TTextQueue QueuedText;
  void LayOutFci(TFont& font, float scale);
  // Object pointers into a window about to be rebuilt fall back to it.
  void ForgetObjectsOf(TWindow& window);
  void DropLoadedWindows(size_t firstNew);
  std::vector<int32_t> LoadedWindows;  // made by the .gui load in progress
};

// Created by InitModules before the logger and freed by ShutdownModules after
// it; lives for the whole run. Its constructor logs nothing.
extern TGUIclass* GUIManager;

// Quad drawing of every skin element, in screen coordinates at depth z with
// the bound texture and current colour (gui_draw.cpp).
void DrawQuad(float x1, float y1, float x2, float y2, float z);
void DrawQuadUV(float x1, float y1, float x2, float y2, float z, float u1, float v2, float u2, float v1);
void DrawNinePatch(float x, float y, float border, float fraction, float z, float height, float width);
