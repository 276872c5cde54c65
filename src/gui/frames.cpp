// TFrames, the tab control: its pages are windows of the manager that follow
// the control's position, size, depth and selection.
#include "gui/gui_manager.h"
#include "gui/gui_stream.h"
#include "core/binary_file.h"

#include <algorithm>

int32_t TFrames::AddPage(TWindow* page) {
  Pages.push_back(page);
  page->IsChild = true;
  page->IsPage = true;
  page->HasCaptionBar = false;
  page->Window = page;
  page->X = GUIClamp(int64_t{Window->X} + X);
  page->Y = GUIClamp(int64_t{Window->Y} + Y + TabHeight);
  page->Width = Width;
  page->Height = GUIClamp(int64_t{Height} - TabHeight);
  page->Z = Window->Z + 1.5f;
  page->Visible = Pages.size() == 1;
  return static_cast<int32_t>(Pages.size()) - 1;
}

void TFrames::SelectTab(int32_t index) {
  if (Pages.empty()) return;
  Selected = std::clamp(index, 0, static_cast<int32_t>(Pages.size()) - 1);
  for (TWindow* page : Pages) page->SetVisible(false);
  Pages[Selected]->SetVisible(true);
}

bool TFrames::IsMouseOver(int32_t x, int32_t y) const {
  if (!Visible) return false;
  int64_t left = ScreenX(), top = ScreenY();
  return left <= x && x <= left + Width && top <= y && y <= top + TabHeight;
}

void TFrames::SetLeft(int32_t x) {
  for (TWindow* page : Pages) page->SetLeft(GUIClamp(int64_t{page->X} + x - X));
  X = x;
}

void TFrames::SetTop(int32_t y) {
  for (TWindow* page : Pages) page->SetTop(GUIClamp(int64_t{page->Y} + y - Y));
  Y = y;
}

void TFrames::SetWidth(int32_t w) {
  for (TWindow* page : Pages) page->Width = w;
  Width = w;
}

void TFrames::SetHeight(int32_t h) {
  for (TWindow* page : Pages) page->Height = GUIClamp(int64_t{h} - TabHeight);
  Height = h;
}

void TFrames::SetZ(float z) {
  for (TWindow* page : Pages) page->SetZ(z);
  Z = z;
}

// TabHeight, TabWidth, TextX, TextY int32; TextColor colour; page cnt; one
// window record per page.
void TFrames::SaveData(TBinaryFile& file) const {
  file.WriteInteger(TabHeight);
  file.WriteInteger(TabWidth);
  file.WriteInteger(TextX);
  file.WriteInteger(TextY);
  WriteColor(file, TextColor);
  WriteCnt(file, Pages.size());
  for (const TWindow* page : Pages) page->Save(file);
}

void TFrames::LoadData(TBinaryFile& file) {
  TabHeight = ReadInt(file);
  TabWidth = ReadInt(file);
  TextX = ReadInt(file);
  TextY = ReadInt(file);
  TextColor = ReadColor(file);
  int32_t last = ReadCnt(file, kMinWindowRecordSize);
  if (Pages.empty()) throw EGUIFileError(file.Position(), "tab control without its first page");
  Pages[0]->Load(file);
  TGUIclass& manager = Manager();
  for (int32_t i = 1; i <= last; ++i) {
    TWindow* page = manager.Windows[manager.CreateLoadedWindow()].get();
    AddPage(page);
    page->Load(file);
  }
  Selected = 0;
}
