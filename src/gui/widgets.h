// The widget kinds of the toolkit: their fields, their class data in .gui
// files, and the state changes made by mouse and keyboard. Drawing is in
// widgets_draw.cpp.
#pragma once
#include "gui/gui_object.h"

#include <memory>
#include <string>
#include <vector>

class TButton : public TGUIObject {
 public:
  int32_t TextX = 0, TextY = 0;
  std::string Caption;
  bool Pressed = false;
  TGUIColor TextColor;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TText : public TGUIObject {
 public:
  std::string Text;
  TGUIColor Color;
  // Stores the text and sizes the label to it with its font.
  void SetText(const std::string& text);
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

// Multi-line text kept as lines; by convention the list ends with one empty
// element, and text passed between fields ends with a carriage return.
class TGUIField : public TGUIObject {
 public:
  std::vector<std::string> Lines{""};
  // Splits at carriage returns and wraps at spaces for the field's width.
  void SetText(const std::string& text);
  // Every line followed by a carriage return, less the last character.
  std::string GetText() const;
  void InsertLine(int32_t index);
  void DeleteLine(int32_t index);
};

class TTextField : public TGUIField {
 public:
  int32_t LineHeight = 0;
  TGUIColor TextColor;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TEditField : public TGUIField {
 public:
  bool ReadOnly = false;
  int32_t LineHeight = 0, CaretLine = 0, CaretColumn = 0;
  TGUIColor TextColor;
  int32_t TextX = 0, TextY = 0;
  void PlaceCaret(int32_t mouseX, int32_t mouseY);
  // ch is the key's character (empty when none), key the virtual key code.
  void HandleKey(const std::string& ch, uint16_t key);
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TEdit : public TGUIObject {
 public:
  std::string Text;
  TGUIColor TextColor;
  int32_t Caret = 0;
  int32_t TextX = 0, TextY = 0;
  int32_t MaxLength = 0;  // characters typed beyond this are dropped; 0: no limit (not in .gui files)
  void PlaceCaret(int32_t mouseX);
  void HandleKey(const std::string& ch, uint16_t key);
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TCheckbox : public TGUIObject {
 public:
  bool Checked = false, Pressed = false;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TRadioButton;

// Members start at index 1; element 0 is an empty slot. Holes (null) appear
// where a loaded button moved to its stored place.
class TRadioButtonGroup {
 public:
  int32_t Selected = 0;
  std::vector<TRadioButton*> Buttons{nullptr};
};

class TRadioButton : public TGUIObject {
 public:
  bool Checked = false, Pressed = false;
  TRadioButtonGroup* Group = nullptr;
  int32_t GroupIndex = 0, IndexInGroup = 0;
  // Unchecks the other members of the group and checks this one.
  void Select();
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TProgressBar : public TGUIObject {
 public:
  float Position = 0;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TImage : public TGUIObject {
 public:
  bool UseBlend = false;
  uint32_t BlendSrc = 0, BlendDst = 0;  // OpenGL blend factors
  unsigned Texture = 0;
  std::string FileName;
  TGUIColor Color;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TPanel : public TGUIObject {
 public:
  void Draw() const override;
};

class TComboBoxItem : public TGUIObject {
 public:
  std::string Caption;
};

class TCombobox : public TGUIObject {
 public:
  // How much nearer than the box its open list is drawn: above every other
  // widget of the window (those stand at most 0.55 nearer than a combo box),
  // below the caption bar's buttons.
  static constexpr float kOpenListRaise = 0.7f;
  std::vector<std::unique_ptr<TComboBoxItem>> Items;
  bool Open = false;
  int32_t Selected = 0, Hovered = 0;
  std::string Text;
  TGUIColor TextColor;
  int32_t TextX = 0, TextY = 0, ItemHeight = 0;
  int32_t AddItem(const std::string& caption);
  int32_t ItemCount() const { return static_cast<int32_t>(Items.size()); }
  bool IsMouseOver(int32_t x, int32_t y) const override;
  // The item under a point of the open list (clamped to the last item), or -1
  // when the point lies on the box itself.
  int32_t ItemAt(int32_t y) const;
  // The depth of what the mouse at screen row y points at: the open list, or the box.
  float ZAt(int32_t y) const { return Open && ItemAt(y) >= 0 ? Z + kOpenListRaise : Z; }
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TPopupMenuItem : public TGUIObject {
 public:
  std::string Caption;
  TPopupMenu* Menu = nullptr;
};

// Positioned in screen coordinates when it opens; Height is one item's height.
class TPopupMenu : public TGUIObject {
 public:
  std::vector<std::unique_ptr<TPopupMenuItem>> Items;
  bool Open = false;
  int32_t Hovered = 0;
  TGUIColor TextColor;
  int32_t TextX = 0, TextY = 0;
  int32_t AddItem(const std::string& caption);
  int32_t ItemCount() const { return static_cast<int32_t>(Items.size()); }
  bool IsMouseOver(int32_t x, int32_t y) const override;
  int32_t ItemAt(int32_t y) const;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

// A tab control: each page is a window of the manager drawn by this control.
class TFrames : public TGUIObject {
 public:
  std::vector<TWindow*> Pages;
  int32_t TabHeight = 0, Selected = 0, TabWidth = 0, TextX = 0, TextY = 0;
  TGUIColor TextColor;
  int32_t AddPage(TWindow* page);
  // Shows page index (clamped to the last page) and hides the others.
  void SelectTab(int32_t index);
  bool IsMouseOver(int32_t x, int32_t y) const override;
  void SetLeft(int32_t x) override;
  void SetTop(int32_t y) override;
  void SetWidth(int32_t w) override;
  void SetHeight(int32_t h) override;
  void SetZ(float z) override;
  void LoadData(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void Draw() const override;
};

class TCaptionButton : public TGUIObject {
 public:
  bool Pressed = false;
  bool State = false;  // minimised (minimise button) or maximised (maximise button)
};
class TMinimizeButton : public TCaptionButton {};
class TMaximizeButton : public TCaptionButton {};
class TCloseButton : public TCaptionButton {};
