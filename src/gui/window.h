// A window: owner of every widget, addressed by index within its lists, and
// the unit of the .gui file (the window record).
#pragma once
#include "gui/widgets.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

template <class T>
using TGUIList = std::vector<std::unique_ptr<T>>;

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
  // Every in-use object the window owns, pages' objects included, then the
  // window itself and its caption buttons (the order depth shifts use).
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
  template <class T>
  T& NewWidget(TGUIList<T>& list, int32_t kind, float dz);
  void MoveTabPages(int64_t dx, int64_t dy);
  void MinimizeClick(int32_t button);
  void MaximizeClick(int32_t button);
  void CloseClick(int32_t button);
};
