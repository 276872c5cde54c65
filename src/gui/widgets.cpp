// Widget state, text layout, editing keys and class data of the .gui file.
#include "gui/widgets.h"

#include "core/key_codes.h"
#include "core/platform.h"
#include "gui/gui_manager.h"
#include "gui/gui_stream.h"
#include "core/binary_file.h"

#include <algorithm>
#include <cmath>

static int32_t Length(const std::string& s) { return static_cast<int32_t>(s.size()); }

// ---- TButton: TextX, TextY int32; Caption str; Pressed byte; TextColor colour

void TButton::SaveData(TBinaryFile& file) const {
  file.WriteInteger(TextX);
  file.WriteInteger(TextY);
  file.WriteString(Caption);
  file.WriteByte(Pressed);
  WriteColor(file, TextColor);
}

void TButton::LoadData(TBinaryFile& file) {
  TextX = ReadInt(file);
  TextY = ReadInt(file);
  Caption = ReadStr(file);
  Pressed = ReadBool(file);
  TextColor = ReadColor(file);
}

// ---- TText: Color colour; Text str. The size comes from the text, not the file.

void TText::SetText(const std::string& text) {
  Text = text;
  Width = Length(text) * CharWidth();
  Height = CharHeight();
}

void TText::SaveData(TBinaryFile& file) const {
  WriteColor(file, Color);
  file.WriteString(Text);
}

void TText::LoadData(TBinaryFile& file) {
  Color = ReadColor(file);
  // A free slot keeps its stored size, so that files round-trip unchanged.
  if (InUse)
    SetText(ReadStr(file));
  else
    Text = ReadStr(file);
}

// ---- TGUIField

void TGUIField::SetText(const std::string& s) {
  Lines.assign(1, "");
  const int32_t n = Length(s);
  if (n == 0) return;  // before the width check: an empty text needs no font
  int32_t cw = CharWidth();
  int32_t maxc = 0;
  if (cw == 0)
    ShowMessageBox("Clown! Don't use Width := 0!", "GUI");
  else
    maxc = static_cast<int32_t>(std::clamp<int64_t>(int64_t{Width} / cw - 3, -1, INT32_MAX));
  // Positions count from 1 as in the layout rules. Every character is
  // examined, the last included, so no character is lost and a final
  // carriage return ends its line instead of staying in it.
  int32_t k = 0, start = 1, lastCR = 0;
  auto cut = [&](int32_t from, int32_t to) {  // characters from..to, 1-based, inclusive
    return to >= from ? s.substr(from - 1, to - from + 1) : std::string();
  };
  for (int32_t i = 1; i <= n; ++i) {
    if (s[i - 1] == '\r') {
      Lines.emplace_back();
      Lines[k] = cut(start, i - 1);
      start = i + 1;
      lastCR = i;
      ++k;
    }
    if (maxc > 0 && (i - lastCR) % maxc == maxc - 1) {
      // The search stays inside the current line: a space before it already
      // ended the previous line and would only add an empty one.
      for (int32_t j = i; j >= std::max({1, i - maxc, start}); --j) {
        if (s[j - 1] == ' ') {
          Lines.emplace_back();
          Lines[k] = cut(start, j - 1);
          start = j + 1;
          ++k;
          break;
        }
      }
    }
  }
  if (n >= start) {
    Lines.emplace_back();
    Lines[k] = cut(start, n);
  }
}

std::string TGUIField::GetText() const {
  std::string text;
  for (const std::string& line : Lines) text += line + '\r';
  text.pop_back();
  return text;
}

void TGUIField::InsertLine(int32_t index) {
  index = std::clamp(index, 0, static_cast<int32_t>(Lines.size()));
  Lines.insert(Lines.begin() + index, std::string());
}

void TGUIField::DeleteLine(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(Lines.size())) return;
  Lines.erase(Lines.begin() + index);
  if (Lines.empty()) Lines.emplace_back();
}

// ---- TTextField: LineHeight int32; TextColor colour; text str

void TTextField::SaveData(TBinaryFile& file) const {
  file.WriteInteger(LineHeight);
  WriteColor(file, TextColor);
  file.WriteString(GetText());
}

void TTextField::LoadData(TBinaryFile& file) {
  LineHeight = ReadInt(file);
  TextColor = ReadColor(file);
  SetText(ReadStr(file));
}

// ---- TEditField: LineHeight int32; TextColor colour; ReadOnly byte; TextX, TextY int32; text str

void TEditField::SaveData(TBinaryFile& file) const {
  file.WriteInteger(LineHeight);
  WriteColor(file, TextColor);
  file.WriteByte(ReadOnly);
  file.WriteInteger(TextX);
  file.WriteInteger(TextY);
  file.WriteString(GetText());
}

void TEditField::LoadData(TBinaryFile& file) {
  LineHeight = ReadInt(file);
  TextColor = ReadColor(file);
  ReadOnly = ReadBool(file);
  TextX = ReadInt(file);
  TextY = ReadInt(file);
  SetText(ReadStr(file));
  CaretLine = 0;
  CaretColumn = 0;
}

void TEditField::PlaceCaret(int32_t mouseX, int32_t mouseY) {
  int32_t cw = CharWidth();
  CaretColumn = cw > 0 ? std::max(0, GUIRound(double(int64_t{mouseX} - ScreenX() - TextX) / cw)) : 0;
  int64_t line = LineHeight > 0 ? (int64_t{mouseY} - ScreenY() - TextY) / LineHeight : 0;
  CaretLine = static_cast<int32_t>(std::clamp<int64_t>(line, 0, static_cast<int64_t>(Lines.size()) - 1));
  CaretColumn = std::min(CaretColumn, Length(Lines[CaretLine]));
}

void TEditField::HandleKey(const std::string& ch, uint16_t key) {
  if (Lines.empty()) Lines.emplace_back();
  const int32_t last = static_cast<int32_t>(Lines.size()) - 1;
  CaretLine = std::clamp(CaretLine, 0, last);
  CaretColumn = std::clamp(CaretColumn, 0, Length(Lines[CaretLine]));
  std::string& line = Lines[CaretLine];
  int32_t& c = CaretColumn;
  if (!ch.empty()) {
    if (ReadOnly) return;
    line.insert(c, ch);
    c += Length(ch);
    return;
  }
  switch (key) {
    case kVkBack:
      if (ReadOnly) return;
      if (c > 0) {
        line.erase(c - 1, 1);
        --c;
      } else if (CaretLine > 0) {
        std::string rest = line;
        Lines.erase(Lines.begin() + CaretLine);
        --CaretLine;
        c = Length(Lines[CaretLine]);
        Lines[CaretLine] += rest;
      }
      break;
    case kVkReturn: {
      if (ReadOnly) return;
      std::string rest = c < Length(line) ? line.substr(c) : std::string();
      line.resize(c);
      Lines.insert(Lines.begin() + CaretLine + 1, rest);
      c = 0;
      ++CaretLine;
      break;
    }
    case kVkEscape:
      Manager().SetFocus(Window);
      break;
    case kVkLeft:
      if (c > 0)
        --c;
      else if (CaretLine >= 1)
        c = Length(Lines[--CaretLine]);
      break;
    case kVkUp:
      if (CaretLine > 0) --CaretLine;
      c = std::min(c, Length(Lines[CaretLine]));
      break;
    case kVkRight:
      if (c < Length(line))
        ++c;
      else if (CaretLine < last) {
        ++CaretLine;
        c = 0;
      }
      break;
    case kVkDown:
      if (CaretLine < last) ++CaretLine;
      c = std::min(c, Length(Lines[CaretLine]));
      break;
    case kVkDelete:
      if (ReadOnly) return;
      if (c < Length(line)) {
        line.erase(c, 1);
      } else if (CaretLine < last) {
        std::string next = Lines[CaretLine + 1];
        line += next;
        Lines.erase(Lines.begin() + CaretLine + 1);
      } else if (!line.empty()) {
        line.pop_back();
        --c;
      } else if (CaretLine > 0) {
        Lines.erase(Lines.begin() + CaretLine);
        --CaretLine;
        c = Length(Lines[CaretLine]);
      }
      break;
    default:
      break;
  }
}

// ---- TEdit: Text str; TextColor colour; TextX, TextY int32

void TEdit::SaveData(TBinaryFile& file) const {
  file.WriteString(Text);
  WriteColor(file, TextColor);
  file.WriteInteger(TextX);
  file.WriteInteger(TextY);
}

void TEdit::LoadData(TBinaryFile& file) {
  Text = ReadStr(file);
  TextColor = ReadColor(file);
  TextX = ReadInt(file);
  TextY = ReadInt(file);
  Caret = Length(Text) - 1;
}

void TEdit::PlaceCaret(int32_t mouseX) {
  int32_t cw = CharWidth();
  int32_t caret = cw > 0 ? GUIRound(double(int64_t{mouseX} - ScreenX() - TextX) / cw) : 0;
  Caret = std::clamp(caret, 0, Length(Text));
}

void TEdit::HandleKey(const std::string& ch, uint16_t key) {
  const int32_t n = Length(Text);
  Caret = std::clamp(Caret, 0, n);
  if (!ch.empty()) {
    if (MaxLength > 0 && n >= MaxLength) return;
    Text.insert(Caret, ch);
    Caret += Length(ch);
    return;
  }
  switch (key) {
    case kVkBack:
      if (Caret > 0) Text.erase(--Caret, 1);
      break;
    case kVkEscape:
      Manager().SetFocus(Window);
      break;
    case kVkLeft:
      if (Caret > 0) --Caret;
      break;
    case kVkRight:
      if (Caret < n) ++Caret;
      break;
    case kVkDelete:
      if (Caret == n && n > 0) {
        Text.pop_back();
        --Caret;
      } else if (Caret < n) {
        Text.erase(Caret, 1);
      }
      break;
    default:
      break;
  }
}

// ---- TCheckbox: Checked, Pressed byte

void TCheckbox::SaveData(TBinaryFile& file) const {
  file.WriteByte(Checked);
  file.WriteByte(Pressed);
}

void TCheckbox::LoadData(TBinaryFile& file) {
  Checked = ReadBool(file);
  Pressed = ReadBool(file);
}

// ---- TRadioButton: Checked, Pressed byte; GroupIndex, IndexInGroup int32

void TRadioButton::Select() {
  if (Group) {
    for (size_t i = 1; i < Group->Buttons.size(); ++i)
      if (Group->Buttons[i]) Group->Buttons[i]->Checked = false;
    Group->Selected = IndexInGroup;
  }
  Checked = true;
}

void TRadioButton::SaveData(TBinaryFile& file) const {
  file.WriteByte(Checked);
  file.WriteByte(Pressed);
  file.WriteInteger(GroupIndex);
  file.WriteInteger(IndexInGroup);
}

void TRadioButton::LoadData(TBinaryFile& file) {
  Checked = ReadBool(file);
  Pressed = ReadBool(file);
  GroupIndex = ReadInt(file);
  IndexInGroup = ReadInt(file);
  if (IndexInGroup <= 0) return;
  if (GroupIndex < 0 || GroupIndex >= static_cast<int32_t>(Window->RadioGroups.size()))
    throw EGUIFileError(file.Position(), "radio group " + std::to_string(GroupIndex) + " does not exist");
  // A group never has more members than the window has radio buttons, and a
  // section holds at most 65536 of them.
  if (IndexInGroup > 65536)
    throw EGUIFileError(file.Position(), "radio button place " + std::to_string(IndexInGroup) + " out of range");
  // The loader's adder entered the button in group 0; it leaves that place so
  // that clicks in group 0 no longer uncheck it.
  if (Group) std::replace(Group->Buttons.begin(), Group->Buttons.end(), this, static_cast<TRadioButton*>(nullptr));
  Group = Window->RadioGroups[GroupIndex].get();
  if (static_cast<int32_t>(Group->Buttons.size()) <= IndexInGroup) Group->Buttons.resize(IndexInGroup + 1);
  Group->Buttons[IndexInGroup] = this;
}

// ---- TProgressBar: Position single

void TProgressBar::SaveData(TBinaryFile& file) const { file.WriteSingle(Position); }
void TProgressBar::LoadData(TBinaryFile& file) { Position = ReadFloat(file); }

// ---- TImage: UseBlend byte; BlendSrc, BlendDst uint32; Color colour; FileName str

void TImage::SaveData(TBinaryFile& file) const {
  file.WriteByte(UseBlend);
  file.WriteCardinal(BlendSrc);
  file.WriteCardinal(BlendDst);
  WriteColor(file, Color);
  file.WriteString(FileName);
}

void TImage::LoadData(TBinaryFile& file) {
  UseBlend = ReadBool(file);
  BlendSrc = ReadCardinal(file);
  BlendDst = ReadCardinal(file);
  Color = ReadColor(file);
  FileName = ReadStr(file);
  Manager().TextureLoader(FileName, Texture);
}

// ---- Items of combo boxes and popup menus

template <class Item>
static Item& NextItem(std::vector<std::unique_ptr<Item>>& items) {
  if (items.empty() || items.back()->InUse) items.push_back(std::make_unique<Item>());
  return *items.back();
}

template <class Item>
static void InitItem(Item& item, const TGUIObject& owner, int32_t index, int32_t kind, const std::string& caption) {
  item.Caption = caption;
  item.InUse = true;
  item.Index = index;
  item.Kind = kind;
  item.Window = owner.Window;
  item.Z = owner.Window->Z + 1.25f;
  item.Skin = owner.Skin;
  item.Font = owner.Font;
  item.Visible = true;
}

int32_t TCombobox::AddItem(const std::string& caption) {
  TComboBoxItem& item = NextItem(Items);
  InitItem(item, *this, static_cast<int32_t>(Items.size()) - 1, kKindComboBoxItem, caption);
  return item.Index;
}

int32_t TPopupMenu::AddItem(const std::string& caption) {
  TPopupMenuItem& item = NextItem(Items);
  InitItem(item, *this, static_cast<int32_t>(Items.size()) - 1, kKindPopupMenuItem, caption);
  item.Menu = this;
  item.Tag = Index;
  return item.Index;
}

// ---- TCombobox: TextColor colour; TextX, TextY, ItemHeight int32; item count
// int32 (highest index); one caption str per item

bool TCombobox::IsMouseOver(int32_t x, int32_t y) const {
  if (!Visible) return false;
  int64_t left = ScreenX(), top = ScreenY();
  int64_t bottom = top + Height + (Open ? int64_t{ItemCount()} * ItemHeight : 0);
  return left <= x && x <= left + Width && top <= y && y <= bottom;
}

int32_t TCombobox::ItemAt(int32_t y) const {
  if (ItemHeight <= 0) return -1;
  double d = double(int64_t{y} - ScreenY() - Height) / ItemHeight;
  if (d < 0) return -1;
  int64_t item = static_cast<int64_t>(d);
  if (item == ItemCount()) --item;
  return static_cast<int32_t>(std::clamp<int64_t>(item, 0, ItemCount() - 1));
}

// The item list shared by combo boxes and popup menus: count, then captions.
template <class Menu>
static void SaveItems(const Menu& menu, TBinaryFile& file) {
  file.WriteInteger(menu.ItemCount() - 1);
  for (const auto& item : menu.Items) file.WriteString(item->Caption);
}

void TCombobox::SaveData(TBinaryFile& file) const {
  WriteColor(file, TextColor);
  file.WriteInteger(TextX);
  file.WriteInteger(TextY);
  file.WriteInteger(ItemHeight);
  SaveItems(*this, file);
}

template <class Menu>
static void LoadItems(Menu& menu, TBinaryFile& file) {
  int32_t last = ReadItemCount(file);
  menu.Items[0]->Caption = ReadStr(file);
  for (int32_t i = 1; i <= last; ++i) menu.AddItem(ReadStr(file));
  menu.Open = false;
  menu.Hovered = 0;
}

void TCombobox::LoadData(TBinaryFile& file) {
  TextColor = ReadColor(file);
  TextX = ReadInt(file);
  TextY = ReadInt(file);
  ItemHeight = ReadInt(file);
  LoadItems(*this, file);
  Selected = 0;
  Text = Items[0]->Caption;
}

// ---- TPopupMenu: TextColor colour; TextX, TextY int32; item count int32; captions

bool TPopupMenu::IsMouseOver(int32_t x, int32_t y) const {
  if (!Visible || !Open) return false;
  return int64_t{X} <= x && x <= int64_t{X} + Width && int64_t{Y} <= y &&
         y <= int64_t{Y} + int64_t{ItemCount()} * Height;
}

int32_t TPopupMenu::ItemAt(int32_t y) const {
  if (Height <= 0) return 0;
  int64_t item = (int64_t{y} - Y) / Height;
  if (item == ItemCount()) --item;
  return static_cast<int32_t>(std::clamp<int64_t>(item, 0, ItemCount() - 1));
}

void TPopupMenu::SaveData(TBinaryFile& file) const {
  WriteColor(file, TextColor);
  file.WriteInteger(TextX);
  file.WriteInteger(TextY);
  SaveItems(*this, file);
}

void TPopupMenu::LoadData(TBinaryFile& file) {
  TextColor = ReadColor(file);
  TextX = ReadInt(file);
  TextY = ReadInt(file);
  LoadItems(*this, file);
}
