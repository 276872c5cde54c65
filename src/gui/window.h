// A window: owner of every widget, addressed by index within its lists, and
// the unit of the .gui file (the window record).
#pragma once
#include "gui/widgets.h"

#include <array>
#include <functional>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

template <class T>
using TGUIList = std::vector<std::unique_ptr<T>>;

// Every walk over a window's widget lists goes by kind, in one of these orders,
// so that no two walks disagree about which widget comes first.
//
// Drawing order. The depth test passes equal depths, so of two widgets at the
// same depth the one drawn later is the one seen.
inline constexpr TGUIKind kDrawOrder[] = {
    kKindPanel,     kKindProgressBar, kKindEdit,     kKindButton,    kKindCheckbox, kKindRadioButton, kKindTextField,
    kKindEditField, kKindImage,       kKindCombobox, kKindPopupMenu, kKindFrames,   kKindText,
};
// Hit testing keeps the first of equally near objects, so it walks the drawing
// order backwards: the widget seen on top takes the mouse. Combo boxes and
// popup menus are left out: their open lists reach past their window, so the
// input code tests them after every window's widgets (gui_input.cpp).
inline constexpr auto kHitOrder = [] {
  std::array<TGUIKind, std::size(kDrawOrder) - 2> order{};
  size_t n = 0;
  for (size_t i = std::size(kDrawOrder); i-- > 0;)
    if (kDrawOrder[i] != kKindCombobox && kDrawOrder[i] != kKindPopupMenu) order[n++] = kDrawOrder[i];
  return order;
}();
// The widget sections of the window data in a .gui file, an order the format
// fixes. Popup menus come before the window's own record and tab controls
// after these, only when the window has any.
inline constexpr TGUIKind kFileOrder[] = {
    kKindButton,      kKindText,  kKindPanel,    kKindProgressBar, kKindEdit,      kKindCheckbox,
    kKindRadioButton, kKindImage, kKindCombobox, kKindTextField,   kKindEditField,
};

class TWindow : public TGUIObject {
 public:
  explicit TWindow(TGUIclass* manager);
  ~TWindow() override;

  std::string BackgroundFile;
  int32_t RestoreRect[4] = {0, 0, 0, 0};  // X, Y, Width, Height before maximising
  bool HasHoverHandlers = false;
  bool HasChildWindows = false;
  bool IsPage = false;
  TGUIColor Color;
  TGUIColor TextColor;
  bool ShowBackground = true;
  unsigned BackgroundTexture = 0;
  bool HasCaptionBar = false;
  int32_t CaptionHeight = 26;
  std::string Caption;
  TMinimizeButton MinimizeButton;
  TMaximizeButton MaximizeButton;
  TCloseButton CloseButton;
  bool IsChild = false;
  double ZShift = 0;
  TGUIList<TButton> Buttons;
  TGUIList<TText> Texts;
  TGUIList<TPanel> Panels;
  TGUIList<TProgressBar> ProgressBars;
  TGUIList<TEdit> Edits;
  TGUIList<TCheckbox> Checkboxes;
  TGUIList<TRadioButton> RadioButtons;
  TGUIList<TRadioButtonGroup> RadioGroups;
  struct TChildWindow {
    TWindow* Window = nullptr;
    int32_t Index = 0;
    bool InUse = false;
  };
  std::vector<TChildWindow> ChildWindows;
  TGUIList<TImage> Images;
  TGUIList<TPopupMenu> PopupMenus;
  TGUIList<TCombobox> Comboboxes;
  TGUIList<TFrames> FramesList;
  TGUIList<TTextField> TextFields;
  TGUIList<TEditField> EditFields;

  TGUIclass* const Owner;  // the manager holding this window

  // Fresh lists, each with one free element, and caption buttons in place.
  void ResetLists();

  int32_t AddButton(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& caption);
  int32_t AddText(int32_t x, int32_t y, const std::string& text, const TGUIColor& color);
  int32_t AddPanel(int32_t x, int32_t y, int32_t width, int32_t height);
  int32_t AddProgressBar(int32_t x, int32_t y, int32_t width, int32_t height);
  int32_t AddEdit(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& text);
  int32_t AddCheckbox(int32_t x, int32_t y, int32_t width, int32_t height, bool checked);
  int32_t AddRadioGroup();
  int32_t AddRadioButton(int32_t x, int32_t y, int32_t width, int32_t height, int32_t group, bool checked);
  int32_t AddImage(int32_t x, int32_t y, int32_t width, int32_t height, bool useBlend, uint32_t blendSrc,
                   uint32_t blendDst, const std::string& fileName);
  int32_t AddPopupMenu(int32_t width, int32_t itemHeight, const std::string& firstCaption);
  int32_t AddCombobox(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& firstItem);
  int32_t AddFrames(int32_t x, int32_t y, int32_t width, int32_t height, TWindow* firstPage);
  int32_t AddTextField(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& text, int32_t font);
  int32_t AddEditField(int32_t x, int32_t y, int32_t width, int32_t height, const std::string& text, int32_t font);
  int32_t AddChildWindow(TWindow* child);
  void LayoutCaptionButtons();

  bool IsMinimized() const { return MinimizeButton.State; }
  // visit(list) with the widget list of each kind in turn (kDrawOrder,
  // kHitOrder or kFileOrder).
  template <class Visit>
  void ForEachList(std::span<const TGUIKind> kinds, Visit&& visit) {
    for (TGUIKind kind : kinds) VisitList(*this, kind, visit);
  }
  template <class Visit>
  void ForEachList(std::span<const TGUIKind> kinds, Visit&& visit) const {
    for (TGUIKind kind : kinds) VisitList(*this, kind, visit);
  }
  // visit(widget) for every element of those lists, free ones included.
  template <class Visit>
  void ForEachWidget(std::span<const TGUIKind> kinds, Visit&& visit) {
    ForEachList(kinds, [&](auto& list) {
      for (auto& w : list) visit(*w);
    });
  }
  template <class Visit>
  void ForEachWidget(std::span<const TGUIKind> kinds, Visit&& visit) const {
    ForEachList(kinds, [&](const auto& list) {
      for (const auto& w : list) visit(*w);
    });
  }
  // Every object the window owns, so that a depth shift reaches them all: its
  // widgets with the items of combo boxes and popup menus, the objects of every
  // tab page in place of the tab controls themselves (whose depth the manager
  // sets from the window's), then the window itself and its caption buttons.
  void ForEachChild(const std::function<void(TGUIObject&)>& visit);
  // Closes every popup menu and combo box of the window.
  void CloseMenus();

  void Save(TBinaryFile& file) const override;
  void Load(TBinaryFile& file) override;
  void SaveData(TBinaryFile& file) const override;
  void LoadData(TBinaryFile& file) override;
  bool IsMouseOver(int32_t x, int32_t y) const override;
  void SetLeft(int32_t x) override;
  void SetTop(int32_t y) override;
  void SetZ(float z) override;
  void SetVisible(bool visible) override;
  void Draw() const override;

 private:
  template <class Self, class Visit>
  static void VisitList(Self& self, TGUIKind kind, Visit& visit);
  template <class T>
  T& NewWidget(TGUIList<T>& list, int32_t kind, float dz);
  void MoveTabPages(int64_t dx, int64_t dy);
  void MinimizeClick(int32_t button);
  void MaximizeClick(int32_t button);
  void CloseClick(int32_t button);
};

template <class Self, class Visit>
void TWindow::VisitList(Self& self, TGUIKind kind, Visit& visit) {
  switch (kind) {
    case kKindButton: visit(self.Buttons); break;
    case kKindText: visit(self.Texts); break;
    case kKindPanel: visit(self.Panels); break;
    case kKindProgressBar: visit(self.ProgressBars); break;
    case kKindEdit: visit(self.Edits); break;
    case kKindCheckbox: visit(self.Checkboxes); break;
    case kKindRadioButton: visit(self.RadioButtons); break;
    case kKindEditField: visit(self.EditFields); break;
    case kKindTextField: visit(self.TextFields); break;
    case kKindPopupMenu: visit(self.PopupMenus); break;
    case kKindCombobox: visit(self.Comboboxes); break;
    case kKindFrames: visit(self.FramesList); break;
    case kKindImage: visit(self.Images); break;
    default: break;  // windows, caption buttons and items are no list of a window
  }
}
