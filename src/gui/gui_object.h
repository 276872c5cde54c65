// The base of every visible GUI object: position, depth, size, visibility,
// callbacks, skin and font indices, and the common record of the .gui file.
// Plain C++: drawing lives in the *_draw.cpp files.
#pragma once
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class TBinaryFile;
class TGUIObject;
class TGUIclass;
class TPopupMenu;
class TWindow;

// Free list elements hold zeros; adders and CreateWindow set the defaults.
struct TGUIColor {
  float R = 0, G = 0, B = 0, A = 0;
  bool operator==(const TGUIColor&) const = default;
};
inline constexpr TGUIColor kGUIWhite{1, 1, 1, 1};
inline constexpr TGUIColor kGUIBlack{0, 0, 0, 1};

// Callbacks are nullable function objects: an empty one is "not assigned".
using TMouseEvent = std::function<void(int32_t x, int32_t y, TGUIObject* sender, int32_t button)>;
using TMouseMoveEvent = std::function<void(int32_t x, int32_t y, TGUIObject* sender)>;
using TKeyEvent = std::function<void(uint16_t key, TGUIObject* sender)>;
using TNotifyEvent = std::function<void(TGUIObject* sender)>;

enum TGUIKind : int32_t {
  kKindButton = 0,
  kKindText = 1,
  kKindPanel = 2,
  kKindProgressBar = 3,
  kKindEdit = 4,
  kKindCheckbox = 5,
  kKindRadioButton = 6,
  kKindWindow = 7,
  kKindMinimizeButton = 8,
  kKindMaximizeButton = 9,
  kKindCloseButton = 10,
  kKindEditField = 11,
  kKindTextField = 12,
  kKindPopupMenu = 13,
  kKindCombobox = 14,
  kKindFrames = 15,
  kKindImage = 16,
  kKindPopupMenuItem = 30,
  kKindComboBoxItem = 31,
};

// A .gui file that contradicts itself or the lists it refers to. The message
// names the byte offset where reading stopped.
class EGUIFileError : public std::runtime_error {
 public:
  EGUIFileError(uint64_t offset, const std::string& what);
};

// Rounds to the nearest integer, halves to the even neighbour (the toolkit's
// one rounding rule); NaN gives 0 and values beyond int32 are clamped.
int32_t GUIRound(double value);

// Positions and sizes come from files unchecked, so sums of them are taken in
// 64 bits and brought back clamped to int32.
inline int32_t GUIClamp(int64_t value) {
  return static_cast<int32_t>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
}

class TGUIObject {
 public:
  virtual ~TGUIObject() = default;

  int32_t X = 0, Y = 0;
  float Z = 0;
  int32_t Width = 0, Height = 0;
  bool Visible = false;
  bool HasPopup = false;
  TPopupMenu* Popup = nullptr;
  TMouseEvent OnClick, OnMouseDown, OnMouseUp;
  TKeyEvent OnKeyDown, OnKeyUp;
  TMouseEvent OnDrag;
  TNotifyEvent OnHide;
  TMouseEvent OnDragEnd;
  TMouseMoveEvent OnMouseMove;
  int32_t Skin = 0;
  int32_t Font = 0;
  TWindow* Window = nullptr;  // the owning window; a window refers to itself
  bool Movable = false;
  bool HasFocus = false;
  int32_t Tag = 0;
  int32_t Kind = 0;
  int32_t Index = 0;
  bool InUse = false;

  // Class data of the .gui file (nothing in the base).
  virtual void LoadData(TBinaryFile& file);
  virtual void SaveData(TBinaryFile& file) const;
  // The 35-byte common record; a window overrides these with its whole record.
  virtual void Save(TBinaryFile& file) const;
  virtual void Load(TBinaryFile& file);
  virtual bool IsMouseOver(int32_t x, int32_t y) const;
  // Called by the window's drawing for visible objects; nothing in the base.
  virtual void Draw() const {}

  virtual void SetLeft(int32_t x) { X = x; }
  virtual void SetTop(int32_t y) { Y = y; }
  virtual void SetWidth(int32_t w) { Width = w; }
  virtual void SetHeight(int32_t h) { Height = h; }
  virtual void SetZ(float z) { Z = z; }
  virtual void SetVisible(bool visible);

  void SetOnClick(TMouseEvent handler) { OnClick = std::move(handler); }
  void SetOnMouseDown(TMouseEvent handler) { OnMouseDown = std::move(handler); }
  void SetOnMouseMove(TMouseMoveEvent handler);
  void SetOnKeyDown(TKeyEvent handler) { OnKeyDown = std::move(handler); }
  void SetOnKeyUp(TKeyEvent handler) { OnKeyUp = std::move(handler); }
  void SetOnHide(TNotifyEvent handler) { OnHide = std::move(handler); }
  // Attaches a popup menu opened by the right button (null detaches it).
  void SetPopupMenu(TPopupMenu* popup);

  TGUIclass& Manager() const;
  // The skin and font this object refers to, or null when its index lies
  // outside the manager's lists.
  const struct TSkin* SkinRecord() const;
  const struct TFont* FontRecord() const;
  int32_t CharWidth() const;
  int32_t CharHeight() const;

 protected:
  // Screen position of the object's top-left corner.
  int32_t ScreenX() const;
  int32_t ScreenY() const;
};

// Ready-made handlers of the toolkit.
// Opens the sender's popup menu at the mouse on a right press.
void PopupOpenMouseDown(int32_t x, int32_t y, TGUIObject* sender, int32_t button);
// Makes a progress bar a slider: a press sets Position from the mouse.
void SliderMouseDown(int32_t x, int32_t y, TGUIObject* sender, int32_t button);
