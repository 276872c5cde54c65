// TWindow: widget lists and adders, caption buttons, depth shifts, showing
// and hiding, and the window record of the .gui file.
#include "gui/window.h"

#include "gui/gui_manager.h"
#include "gui/gui_stream.h"
#include "core/binary_file.h"

#include <type_traits>

template <class T>
static void FreshList(TGUIList<T>& list) {
  list.clear();
  list.push_back(std::make_unique<T>());
}

TWindow::TWindow(TGUIclass* manager) : Owner(manager) {
  Window = this;
  Kind = kKindWindow;
  ResetLists();
}

TWindow::~TWindow() = default;

void TWindow::ResetLists() {
  ForEachList(kDrawOrder, [](auto& list) { FreshList(list); });
  FreshList(RadioGroups);
  PopupMenus[0]->Items.push_back(std::make_unique<TPopupMenuItem>());
  PopupMenus[0]->Items[0]->Menu = PopupMenus[0].get();
  Comboboxes[0]->Items.push_back(std::make_unique<TComboBoxItem>());
  ChildWindows.assign(1, TChildWindow());
  HasChildWindows = false;
  TCaptionButton* buttons[] = {&MinimizeButton, &MaximizeButton, &CloseButton};
  for (int32_t i = 0; i < 3; ++i) {
    TCaptionButton& b = *buttons[i];
    b.Window = this;
    b.Kind = kKindMinimizeButton + i;
    b.Visible = false;
    b.Pressed = false;
    b.State = false;
    b.Z = 1.45f;
    b.InUse = true;
  }
  LayoutCaptionButtons();
}

// The spare-slot rule: the last element is reused when free, otherwise the
// list grows by one. The common steps of every adder follow.
template <class T>
T& TWindow::NewWidget(TGUIList<T>& list, int32_t kind, float dz) {
  if (list.back()->InUse) list.push_back(std::make_unique<T>());
  T& w = *list.back();
  w.Window = this;
  w.Kind = kind;
  w.Index = static_cast<int32_t>(list.size()) - 1;
  w.InUse = true;
  w.Visible = true;
  w.Skin = Skin;
  w.Font = Font;
  w.Z = Z + dz;
  w.HasFocus = false;
  w.SetPopupMenu(nullptr);
  return w;
}

template <class T>
static void Place(T& w, int32_t x, int32_t y, int32_t width, int32_t height) {
  w.X = x;
  w.Y = y;
  w.Width = width;
  w.Height = height;
}

int32_t TWindow::AddButton(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& caption) {
  TButton& b = NewWidget(Buttons, kKindButton, 1.1f);
  Place(b, x, y, width, height);
  b.Caption = caption;
  b.TextX = b.TextY = 5;
  b.TextColor = TextColor;
  b.Pressed = false;
  return b.Index;
}

int32_t TWindow::AddText(int32_t x, int32_t y, const std::string& text, const TGUIColor& color) {
  TText& t = NewWidget(Texts, kKindText, 1.2f);
  t.X = x;
  t.Y = y;
  t.SetText(text);
  t.Color = color;
  return t.Index;
}

int32_t TWindow::AddPanel(int32_t x, int32_t y, int32_t width, int32_t height) {
  TPanel& p = NewWidget(Panels, kKindPanel, 0.1f);
  Place(p, x, y, width, height);
  return p.Index;
}

int32_t TWindow::AddProgressBar(int32_t x, int32_t y, int32_t width, int32_t height) {
  TProgressBar& p = NewWidget(ProgressBars, kKindProgressBar, 0.2f);
  Place(p, x, y, width, height);
  p.Position = 0;
  return p.Index;
}

int32_t TWindow::AddEdit(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& text) {
  TEdit& e = NewWidget(Edits, kKindEdit, 1.0f);
  Place(e, x, y, width, height);
  e.Text = text;
  e.TextColor = kGUIBlack;
  e.TextX = 8;
  e.TextY = 4;
  e.Caret = 0;
  return e.Index;
}

int32_t TWindow::AddCheckbox(int32_t x, int32_t y, int32_t width, int32_t height, bool checked) {
  TCheckbox& c = NewWidget(Checkboxes, kKindCheckbox, 0.9f);
  Place(c, x, y, width, height);
  c.Checked = checked;
  c.Pressed = false;
  return c.Index;
}

int32_t TWindow::AddRadioGroup() {
  RadioGroups.push_back(std::make_unique<TRadioButtonGroup>());
  return static_cast<int32_t>(RadioGroups.size()) - 1;
}

int32_t TWindow::AddRadioButton(int32_t x, int32_t y, int32_t width, int32_t height, int32_t group, bool checked) {
  if (group < 0 || group >= static_cast<int32_t>(RadioGroups.size())) group = 0;
  TRadioButton& r = NewWidget(RadioButtons, kKindRadioButton, 0.8f);
  Place(r, x, y, width, height);
  // A reused free slot may still sit in a group from a loaded file.
  for (auto& g : RadioGroups)
    for (TRadioButton*& member : g->Buttons)
      if (member == &r) member = nullptr;
  r.Checked = checked;
  r.Pressed = false;
  r.Group = RadioGroups[group].get();
  r.Group->Buttons.push_back(&r);
  r.GroupIndex = group;
  r.IndexInGroup = static_cast<int32_t>(r.Group->Buttons.size()) - 1;
  return r.Index;
}

int32_t TWindow::AddImage(int32_t x, int32_t y, int32_t width, int32_t height, bool useBlend, uint32_t blendSrc,
                          uint32_t blendDst, const std::string& fileName) {
  TImage& i = NewWidget(Images, kKindImage, 0.13f);
  Place(i, x, y, width, height);
  i.UseBlend = useBlend;
  i.BlendSrc = blendSrc;
  i.BlendDst = blendDst;
  i.FileName = fileName;
  i.Color = kGUIWhite;
  Owner->TextureLoader(fileName, i.Texture);
  return i.Index;
}

int32_t TWindow::AddPopupMenu(int32_t width, int32_t itemHeight, const std::string& firstCaption) {
  TPopupMenu& p = NewWidget(PopupMenus, kKindPopupMenu, 1.25f);
  p.Width = width;
  p.Height = itemHeight;
  p.Open = false;
  p.Hovered = 0;
  p.Items.clear();
  p.AddItem(firstCaption);
  p.TextColor = kGUIBlack;
  p.TextX = p.TextY = 3;
  return p.Index;
}

int32_t TWindow::AddCombobox(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& firstItem) {
  TCombobox& c = NewWidget(Comboboxes, kKindCombobox, 0.7f);
  Place(c, x, y, width, height);
  c.Items.clear();
  c.AddItem(firstItem);
  c.Text = firstItem;
  c.Open = false;
  c.Selected = c.Hovered = 0;
  c.TextColor = kGUIBlack;
  c.TextX = c.TextY = 3;
  c.ItemHeight = height;
  return c.Index;
}

int32_t TWindow::AddFrames(int32_t x, int32_t y, int32_t width, int32_t height, TWindow* firstPage) {
  TFrames& f = NewWidget(FramesList, kKindFrames, 0.121f);
  Place(f, x, y, width, height);
  f.TabHeight = 20;
  f.TabWidth = 60;
  f.TextX = 4;
  f.TextY = 2;
  f.TextColor = kGUIBlack;
  f.Selected = 0;
  f.Pages.clear();
  if (firstPage) f.AddPage(firstPage);
  return f.Index;
}

int32_t TWindow::AddTextField(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& text,
                              int32_t font) {
  TTextField& t = NewWidget(TextFields, kKindTextField, 0.14f);
  Place(t, x, y, width, height);
  if (font != -1) t.Font = font;
  t.LineHeight = t.CharHeight() - 4;
  t.TextColor = kGUIBlack;
  t.SetText(text);
  return t.Index;
}

int32_t TWindow::AddEditField(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& text,
                              int32_t font) {
  TEditField& e = NewWidget(EditFields, kKindEditField, 0.15f);
  Place(e, x, y, width, height);
  if (font != -1) e.Font = font;
  e.SetText(text);
  e.LineHeight = e.CharHeight() - 4;
  e.TextColor = kGUIBlack;
  e.TextX = e.TextY = 5;
  e.CaretLine = e.CaretColumn = 0;
  e.ReadOnly = false;
  e.Lines.resize(1);
  return e.Index;
}

int32_t TWindow::AddChildWindow(TWindow* child) {
  if (HasChildWindows) ChildWindows.emplace_back();
  TChildWindow& record = ChildWindows.back();
  record.Window = child;
  record.Index = child->Index;
  record.InUse = true;
  child->IsChild = true;
  HasChildWindows = true;
  return static_cast<int32_t>(ChildWindows.size()) - 1;
}

void TWindow::LayoutCaptionButtons() {
  const int64_t h = CaptionHeight;
  TCaptionButton* buttons[] = {&MinimizeButton, &MaximizeButton, &CloseButton};
  for (int32_t i = 0; i < 3; ++i) {
    TCaptionButton& b = *buttons[i];
    b.X = GUIClamp(Width - (3 - i) * h - 3);
    b.Y = 6;
    b.Width = GUIClamp(h - 2);
    b.Height = GUIClamp(h - 10);
    b.Kind = kKindMinimizeButton + i;
  }
  MinimizeButton.OnClick = [this](int32_t, int32_t, TGUIObject*, int32_t button) { MinimizeClick(button); };
  MaximizeButton.OnClick = [this](int32_t, int32_t, TGUIObject*, int32_t button) { MaximizeClick(button); };
  CloseButton.OnClick = [this](int32_t, int32_t, TGUIObject*, int32_t button) { CloseClick(button); };
}

void TWindow::CloseMenus() {
  for (auto& p : PopupMenus) p->Open = false;
  for (auto& c : Comboboxes) c->Open = false;
}

void TWindow::MinimizeClick(int32_t button) {
  if (button != 1) return;
  MinimizeButton.State = !MinimizeButton.State;
  CloseMenus();
  for (auto& frames : FramesList) {
    if (!frames->InUse) continue;
    if (MinimizeButton.State) {
      for (TWindow* page : frames->Pages) page->SetVisible(false);
    } else if (frames->Selected >= 0 && frames->Selected < static_cast<int32_t>(frames->Pages.size())) {
      frames->Pages[frames->Selected]->SetVisible(true);
    }
  }
}

void TWindow::MaximizeClick(int32_t button) {
  if (button != 1) return;
  if (MaximizeButton.State) {
    RestoreRect[0] = X;
    RestoreRect[1] = Y;
    RestoreRect[2] = Width;
    RestoreRect[3] = Height;
    X = 0;
    Y = 0;
    Width = Owner->ScreenWidth;
    Height = Owner->ScreenHeight;
  } else {
    X = RestoreRect[0];
    Y = RestoreRect[1];
    Width = RestoreRect[2];
    Height = RestoreRect[3];
  }
  LayoutCaptionButtons();
}

void TWindow::CloseClick(int32_t button) {
  if (button != 1) return;
  if (CloseButton.OnHide) CloseButton.OnHide(&CloseButton);
  SetVisible(false);
}

void TWindow::ForEachChild(const std::function<void(TGUIObject&)>& visit) {
  ForEachWidget(kDrawOrder, [&](auto& w) {
    using T = std::decay_t<decltype(w)>;
    if constexpr (std::is_same_v<T, TFrames>) {
      for (TWindow* page : w.Pages) page->ForEachChild(visit);
    } else {
      visit(w);
      if constexpr (std::is_same_v<T, TCombobox> || std::is_same_v<T, TPopupMenu>)
        for (auto& item : w.Items) visit(*item);
    }
  });
  visit(*this);
  visit(MinimizeButton);
  visit(MaximizeButton);
  visit(CloseButton);
}

bool TWindow::IsMouseOver(int32_t x, int32_t y) const {
  if (!Visible) return false;
  int64_t h = IsMinimized() ? CaptionHeight : Height;
  return X <= x && x <= int64_t{X} + Width && Y <= y && y <= Y + h;
}

void TWindow::MoveTabPages(int64_t dx, int64_t dy) {
  for (auto& frames : FramesList)
    for (TWindow* page : frames->Pages) {
      if (dx) page->SetLeft(GUIClamp(int64_t{page->X} + dx));
      if (dy) page->SetTop(GUIClamp(int64_t{page->Y} + dy));
    }
}

void TWindow::SetLeft(int32_t x) {
  MoveTabPages(int64_t{x} - X, 0);
  X = x;
  LayoutCaptionButtons();
}

void TWindow::SetTop(int32_t y) {
  MoveTabPages(0, int64_t{y} - Y);
  Y = y;
  LayoutCaptionButtons();
}

void TWindow::SetZ(float z) {
  ZShift = double(z) - Z;
  ForEachChild([](TGUIObject& o) {
    if (o.InUse) o.Z = static_cast<float>(o.Z + o.Window->ZShift);
  });
  Z = z;
}

void TWindow::SetVisible(bool visible) {
  int32_t index = Owner->WindowIndex(this);
  if (visible) {
    if (index >= 0) Owner->ZRanks[index] = -2;
    for (auto& frames : FramesList)
      if (frames->InUse && frames->Selected >= 0 && frames->Selected < static_cast<int32_t>(frames->Pages.size()))
        frames->Pages[frames->Selected]->SetVisible(true);
    Owner->UpdateZOrder();
    Visible = true;
    return;
  }
  if (OnHide) OnHide(this);
  if (index >= 0) Owner->ZRanks[index] = -1;
  for (auto& frames : FramesList)
    if (frames->InUse)
      for (TWindow* page : frames->Pages) page->SetVisible(false);
  for (TChildWindow& child : ChildWindows)
    if (child.InUse && child.Window) child.Window->SetVisible(false);
  Visible = false;
}

// Window record: popup cnt; per popup menu its common record and data; the
// window's common record; the window data (below).
void TWindow::Save(TBinaryFile& file) const {
  WriteCnt(file, PopupMenus.size());
  for (const auto& popup : PopupMenus) {
    popup->Save(file);
    popup->SaveData(file);
  }
  TGUIObject::Save(file);
  SaveData(file);
}

template <class T>
static void SaveSection(TBinaryFile& file, const TGUIList<T>& list) {
  WriteCnt(file, list.size());
  for (const auto& w : list) {
    w->Save(file);
    w->SaveData(file);
  }
}

// Window data: IsChild byte; BackgroundFile str; Color, TextColor colour;
// ShowBackground, HasCaptionBar byte; CaptionHeight int32; Caption str;
// HasChildWindows byte; has tab controls byte; radio group cnt; sections of
// buttons, texts, panels, progress bars, edits, check boxes, radio buttons,
// images, combo boxes, text fields, edit fields; [tab controls]; [child window
// cnt and records]; the three caption buttons' common records.
void TWindow::SaveData(TBinaryFile& file) const {
  file.WriteByte(IsChild);
  file.WriteString(BackgroundFile);
  WriteColor(file, Color);
  WriteColor(file, TextColor);
  file.WriteByte(ShowBackground);
  file.WriteByte(HasCaptionBar);
  file.WriteInteger(CaptionHeight);
  file.WriteString(Caption);
  file.WriteByte(HasChildWindows);
  const bool hasTabs = FramesList[0]->InUse;
  file.WriteByte(hasTabs);
  WriteCnt(file, RadioGroups.size());
  ForEachList(kFileOrder, [&](const auto& list) { SaveSection(file, list); });
  if (hasTabs) SaveSection(file, FramesList);
  if (HasChildWindows) {
    WriteCnt(file, ChildWindows.size());
    for (const TChildWindow& child : ChildWindows) {
      if (child.Window)
        child.Window->Save(file);
      else  // a record without a window is written as a fresh free window
        TWindow(Owner).Save(file);
    }
  }
  MinimizeButton.Save(file);
  MaximizeButton.Save(file);
  CloseButton.Save(file);
}

// Each element of a section is made by its adder with zero or empty arguments
// before its records are read into it.
static void AddBlank(TWindow& w, TGUIList<TButton>&) { w.AddButton(0, 0, 0, 0, ""); }
static void AddBlank(TWindow& w, TGUIList<TText>&) { w.AddText(0, 0, "", kGUIWhite); }
static void AddBlank(TWindow& w, TGUIList<TPanel>&) { w.AddPanel(0, 0, 0, 0); }
static void AddBlank(TWindow& w, TGUIList<TProgressBar>&) { w.AddProgressBar(0, 0, 0, 0); }
static void AddBlank(TWindow& w, TGUIList<TEdit>&) { w.AddEdit(0, 0, 0, 0, ""); }
static void AddBlank(TWindow& w, TGUIList<TCheckbox>&) { w.AddCheckbox(0, 0, 0, 0, false); }
static void AddBlank(TWindow& w, TGUIList<TRadioButton>&) { w.AddRadioButton(0, 0, 0, 0, 0, false); }
static void AddBlank(TWindow& w, TGUIList<TImage>&) { w.AddImage(0, 0, 0, 0, false, 0, 0, ""); }
static void AddBlank(TWindow& w, TGUIList<TCombobox>&) { w.AddCombobox(0, 0, 0, 0, ""); }
static void AddBlank(TWindow& w, TGUIList<TTextField>&) { w.AddTextField(0, 0, 0, 0, "", -1); }
static void AddBlank(TWindow& w, TGUIList<TEditField>&) { w.AddEditField(0, 0, 0, 0, "", -1); }
static void AddBlank(TWindow& w, TGUIList<TPopupMenu>&) { w.AddPopupMenu(0, 0, ""); }
// A tab control is made with its first page, a window of the manager.
static void AddBlank(TWindow& w, TGUIList<TFrames>&) {
  w.AddFrames(0, 0, 0, 0, w.Owner->Windows[w.Owner->CreateLoadedWindow()].get());
}

// Element k of a list being read lands at index k: when the element before it
// was free, the adder would reuse that slot, so it is held for the call.
template <class T, class Add>
static T& LoadSlot(TGUIList<T>& list, int32_t k, Add&& add) {
  TGUIObject* held = k > 0 && !list.back()->InUse ? list.back().get() : nullptr;
  if (held) held->InUse = true;
  add();
  if (held) held->InUse = false;
  return *list.back();
}

template <class T>
static void LoadSection(TBinaryFile& file, TWindow& window, TGUIList<T>& list,
                        uint64_t minBytesEach = kCommonRecordSize) {
  int32_t last = ReadCnt(file, minBytesEach);
  for (int32_t k = 0; k <= last; ++k) {
    T& w = LoadSlot(list, k, [&] { AddBlank(window, list); });
    w.Load(file);
    w.LoadData(file);
  }
}

void TWindow::Load(TBinaryFile& file) {
  if (++Owner->LoadNesting > kMaxWindowNesting) throw EGUIFileError(file.Position(), "windows nested too deeply");
  LoadSection(file, *this, PopupMenus);
  TGUIObject::Load(file);
  // A file may mark this window free. It takes that mark only once it is
  // whole: the tab pages and child windows it creates on the way must not be
  // given its slot, which would clear the lists being read.
  const bool inUse = InUse;
  InUse = true;
  LoadData(file);
  InUse = inUse;
  --Owner->LoadNesting;
}

void TWindow::LoadData(TBinaryFile& file) {
  IsChild = ReadBool(file);
  BackgroundFile = ReadStr(file);
  Color = ReadColor(file);
  TextColor = ReadColor(file);
  ShowBackground = ReadBool(file);
  HasCaptionBar = ReadBool(file);
  CaptionHeight = ReadInt(file);
  Caption = ReadStr(file);
  HasChildWindows = ReadBool(file);
  const bool hasTabs = ReadBool(file);
  const int32_t lastGroup = ReadCnt(file, 0);  // group 0 always exists
  if (lastGroup >= kMaxRadioGroups)
    throw EGUIFileError(file.Position(), std::to_string(lastGroup + 1) + " radio groups exceed the limit of " +
                                             std::to_string(kMaxRadioGroups));
  for (int32_t g = 0; g < lastGroup; ++g) AddRadioGroup();
  ForEachList(kFileOrder, [&](auto& list) { LoadSection(file, *this, list); });
  if (hasTabs) LoadSection(file, *this, FramesList, kCommonRecordSize + kMinWindowRecordSize);
  if (HasChildWindows) {
    int32_t last = ReadCnt(file, kMinWindowRecordSize);
    for (int32_t k = 0; k <= last; ++k) {
      TWindow* child = Owner->Windows[Owner->CreateLoadedWindow()].get();
      if (k >= static_cast<int32_t>(ChildWindows.size())) ChildWindows.emplace_back();
      // The record is marked in use too, so that hiding this window hides the
      // child and the child never takes clicks while its parent is hidden.
      ChildWindows[k] = TChildWindow{child, child->Index, true};
      child->Load(file);
    }
  }
  Owner->TextureLoader(BackgroundFile, BackgroundTexture);
  HasHoverHandlers = false;
  for (TCaptionButton* b : {static_cast<TCaptionButton*>(&MinimizeButton), static_cast<TCaptionButton*>(&MaximizeButton),
                            static_cast<TCaptionButton*>(&CloseButton)}) {
    b->Load(file);
    b->Pressed = false;
    b->State = false;
  }
}
