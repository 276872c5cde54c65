// The two GUI skins: "windows", a light bevelled desktop look, and "black
// blood", dark worn metal with blood-red accents. Every element the toolkit
// loads is present (see the element table of the skin loader), each its own
// TGA with alpha; the window backgrounds "default.tga" go beside them.
#include "canvas.h"
#include "generators.h"

#include <algorithm>
#include <cmath>

namespace {

struct TPalette {
  uint32_t Face, FaceDark, Field, Pressed, PanelFace, Accent, AccentDark, Caption1, Caption2, Mark, Outline;
  float Grain;  // strength of the surface noise
  uint32_t Seed;
};

const TPalette kWindows{0xd4d0c8, 0xa8a49c, 0xffffff, 0xb4b0a8, 0x6c6862, 0x3a6ea5, 0x0a246a, 0x0a246a, 0xa6caf0, 0x101010, 0x404040, 0.03f, 1};
const TPalette kBlood{0x2c2626, 0x181414, 0x0e0a0a, 0x4a1212, 0x2c2626, 0xb01818, 0x5a0808, 0x6a0a0a, 0x1a0808, 0xe83030, 0x050303, 0.12f, 2};

TCanvas Surface(const TPalette& p, int w, int h, uint32_t colour) {
  TCanvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float n = Fbm(x / 8.0f, y / 8.0f, 0, 3, p.Seed * 31 + colour) - 0.5f;
      const float scratch = Hash01(x, y / 2, p.Seed) > 0.995f ? 0.6f : 0.0f;
      c.At(x, y) = Scale(Hex(colour), 1 + p.Grain * (n * 2 + scratch));
      // A vertical light fall-off gives faces some depth.
      c.At(x, y) = Scale(c.At(x, y), 1.06f - 0.12f * y / h);
    }
  return c;
}

void Outline(TCanvas& c, uint32_t colour, int inset = 0) {
  const TRGBA o = Hex(colour);
  for (int x = inset; x < c.Width() - inset; ++x) {
    c.At(x, inset) = o;
    c.At(x, c.Height() - 1 - inset) = o;
  }
  for (int y = inset; y < c.Height() - inset; ++y) {
    c.At(inset, y) = o;
    c.At(c.Width() - 1 - inset, y) = o;
  }
}

TCanvas RaisedFace(const TPalette& p, int w, int h, uint32_t colour, int bevel) {
  TCanvas c = Surface(p, w, h, colour);
  c.Bevel(1, 1, w - 1, h - 1, bevel, 0.55f, false);
  Outline(c, p.Outline);
  return c;
}

TCanvas SunkenField(const TPalette& p, int w, int h, int bevel) {
  TCanvas c = Surface(p, w, h, p.Field);
  c.Bevel(0, 0, w, h, bevel, 0.5f, true);
  return c;
}

TCanvas Button(const TPalette& p, bool focused, bool pressed) {
  TCanvas c = pressed ? Surface(p, 64, 64, p.FaceDark) : Surface(p, 64, 64, p.Face);
  c.Bevel(1, 1, 63, 63, 5, pressed ? 0.6f : 0.55f, pressed);
  Outline(c, p.Outline);
  if (focused) {  // an accent ring inside the edge marks the keyboard focus
    Outline(c, p.Accent, 3);
    Outline(c, p.Accent, 4);
  }
  return c;
}

TCanvas CheckBox(const TPalette& p, bool pressed, bool checked) {
  TCanvas c(32, 32, {0, 0, 0, 0});
  TCanvas box = SunkenField(p, 24, 24, 3);
  if (pressed)
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) box.At(x, y) = Mix(box.At(x, y), Hex(p.Pressed), 0.7f);
  c.Draw(box, 4, 4);
  Outline(c, p.Outline, 3);
  if (checked) {
    c.Line(9, 16, 14, 22, 3.5f, Hex(p.Mark));
    c.Line(14, 22, 23, 9, 3.5f, Hex(p.Mark));
  }
  return c;
}

TCanvas Radio(const TPalette& p, bool pressed, bool checked) {
  TCanvas c(32, 32, {0, 0, 0, 0});
  c.Disc(16, 16, 12, Hex(p.Outline));
  c.Disc(16, 16, 11, Hex(pressed ? p.Pressed : p.Field));
  c.Ring(16, 16, 9.5f, 2, TRGBA{0, 0, 0, 0.25f});
  if (checked) c.Disc(16, 16, 5, Hex(p.Mark));
  return c;
}

enum class TCaptionGlyph { Minimize, Maximize, Normalize, Close };

TCanvas CaptionButton(const TPalette& p, TCaptionGlyph glyph, bool pressed) {
  TCanvas c = pressed ? Surface(p, 32, 32, p.FaceDark) : Surface(p, 32, 32, p.Face);
  c.Bevel(1, 1, 31, 31, 3, 0.55f, pressed);
  Outline(c, p.Outline);
  const float d = pressed ? 1 : 0;  // the glyph moves with the pressed face
  const TRGBA ink = Hex(p.Mark);
  switch (glyph) {
    case TCaptionGlyph::Minimize: c.Line(9 + d, 22 + d, 23 + d, 22 + d, 3, ink); break;
    case TCaptionGlyph::Maximize:
      c.Line(9 + d, 9 + d, 23 + d, 9 + d, 3, ink);
      c.Line(9 + d, 9 + d, 9 + d, 23 + d, 1.5f, ink);
      c.Line(23 + d, 9 + d, 23 + d, 23 + d, 1.5f, ink);
      c.Line(9 + d, 23 + d, 23 + d, 23 + d, 1.5f, ink);
      break;
    case TCaptionGlyph::Normalize:
      for (float o : {0.0f, 5.0f}) {
        const float x0 = 8 + o + d, y0 = 13 - o + d;
        c.Line(x0, y0, x0 + 11, y0, 2.5f, ink);
        c.Line(x0, y0, x0, y0 + 10, 1.5f, ink);
        c.Line(x0 + 11, y0, x0 + 11, y0 + 10, 1.5f, ink);
        c.Line(x0, y0 + 10, x0 + 11, y0 + 10, 1.5f, ink);
      }
      break;
    case TCaptionGlyph::Close:
      c.Line(10 + d, 10 + d, 22 + d, 22 + d, 3, ink);
      c.Line(22 + d, 10 + d, 10 + d, 22 + d, 3, ink);
      break;
  }
  return c;
}

TCanvas CaptionBar(const TPalette& p) {
  TCanvas c(256, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 256; ++x) {
      TRGBA col = Mix(Hex(p.Caption1), Hex(p.Caption2), x / 255.0f);
      col = Scale(col, 1 + p.Grain * (Fbm(x / 6.0f, y / 6.0f, 0, 2, p.Seed + 40) - 0.5f) + 0.15f * (1 - y / 16.0f));
      c.At(x, y) = col;
    }
  c.Bevel(0, 0, 256, 32, 2, 0.4f, false);
  return c;
}

TCanvas Tab(const TPalette& p, bool selected) {
  TCanvas c = Surface(p, 128, 32, selected ? p.Face : p.FaceDark);
  c.Bevel(1, 1, 127, 33, 3, 0.5f, false);
  for (int x = 0; x < 128; ++x) c.At(x, 0) = Hex(p.Outline);
  for (int y = 0; y < 32; ++y) c.At(0, y) = c.At(127, y) = Hex(p.Outline);
  if (selected) c.FillRect(3, 2, 125, 5, Hex(p.Accent));
  else for (int x = 0; x < 128; ++x) c.At(x, 31) = Hex(p.Outline);
  return c;
}

TCanvas ProgressFill(const TPalette& p) {
  TCanvas c(128, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 128; ++x) {
      const float shine = 1.25f - std::fabs(y - 5.0f) / 12.0f;
      c.At(x, y) = Scale(Mix(Hex(p.AccentDark), Hex(p.Accent), 0.3f + 0.7f * x / 127.0f), shine);
    }
  return c;
}

TCanvas ComboBody(const TPalette& p) {
  TCanvas c = SunkenField(p, 128, 32, 3);
  Outline(c, p.Outline);
  return c;
}

TCanvas ComboButton(const TPalette& p) {
  TCanvas c = RaisedFace(p, 32, 32, p.Face, 3);
  const TRGBA ink = Hex(p.Mark);
  for (int row = 0; row < 6; ++row) c.Line(10 + row + 0.5f, 13 + row + 0.5f, 22 - row - 0.5f, 13 + row + 0.5f, 1, ink);
  return c;
}

TCanvas Highlight(const TPalette& p) {
  TCanvas c(64, 16, Hex(p.Accent, 0.75f));
  Outline(c, p.AccentDark);
  return c;
}

TCanvas PopupGround(const TPalette& p) {
  TCanvas c = Surface(p, 64, 64, p.Field);
  Outline(c, p.Outline);
  return c;
}

// Window backgrounds: the light one is a plain face with a thin rim; the
// dark one is riveted metal with a red-stained border.
TCanvas WindowBackground(const TPalette& p, bool riveted) {
  TCanvas c = Surface(p, 256, 256, p.Face);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const float edge = std::min(std::min(x, 255 - x), std::min(y, 255 - y)) / 24.0f;
      const float stain = Fbm(x / 30.0f, y / 30.0f, 0, 4, p.Seed + 70);
      TRGBA& px = c.At(x, y);
      if (riveted) px = Mix(px, Hex(p.AccentDark), std::clamp((1 - edge) * stain * 1.6f, 0.0f, 0.8f));
    }
  c.Bevel(0, 0, 256, 256, 6, 0.45f, false);
  Outline(c, p.Outline);
  if (riveted)
    for (int cx : {12, 243})
      for (int cy : {12, 243}) {
        c.Disc(cx + 1.0f, cy + 1.0f, 4, Hex(0x000000, 0.7f));
        c.Disc(cx, cy, 4, Hex(0x6a6262));
        c.Disc(cx - 1.0f, cy - 1.0f, 1.5f, Hex(0xb0a8a8));
      }
  return c;
}

void BuildSkin(TDataTree& tree, const std::string& dir, const TPalette& p, bool dark) {
  auto add = [&](const std::string& element, const TCanvas& c) { tree.Add("skins/" + dir + "/" + element + ".tga", c.TGA32()); };
  // The light skin's panel is mid-grey: the shop writes white and black
  // text on it.
  TCanvas panel = Surface(p, 64, 64, p.PanelFace);
  panel.Bevel(1, 1, 63, 63, 4, 0.5f, false);
  Outline(panel, p.Outline);
  add("panel", panel);
  add("edit", SunkenField(p, 32, 32, 3));
  add("editfield", SunkenField(p, 64, 64, 4));
  add("captionbar", CaptionBar(p));
  TCanvas ground = SunkenField(p, 128, 16, 3);
  Outline(ground, p.Outline);
  add("progress_ground", ground);
  add("progressbar", ProgressFill(p));
  add("ground", PopupGround(p));
  add("button", Button(p, false, false));
  add("button_c", Button(p, true, false));
  add("button_m", Button(p, false, true));
  add("frame", Tab(p, false));
  add("frame_c", Tab(p, true));
  add("check", CheckBox(p, false, false));
  add("check_m", CheckBox(p, true, false));
  add("check_c", CheckBox(p, false, true));
  add("check_m_c", CheckBox(p, true, true));
  add("radio", Radio(p, false, false));
  add("radio_m", Radio(p, true, false));
  add("radio_c", Radio(p, false, true));
  add("radio_m_c", Radio(p, true, true));
  const std::pair<const char*, TCaptionGlyph> caption[] = {{"minimize", TCaptionGlyph::Minimize},
                                                           {"normalize", TCaptionGlyph::Normalize},
                                                           {"maximize", TCaptionGlyph::Maximize},
                                                           {"close", TCaptionGlyph::Close}};
  for (const auto& [name, glyph] : caption) {
    add(name, CaptionButton(p, glyph, false));
    add(std::string(name) + "_m", CaptionButton(p, glyph, true));
  }
  add("default", WindowBackground(p, dark));
  add("combobox", ComboBody(p));
  add("combobox_button", ComboButton(p));
  add("combo_ground", Highlight(p));
}

}  // namespace

void BuildSkins(TDataTree& tree) {
  BuildSkin(tree, "windows", kWindows, false);
  BuildSkin(tree, "black blood", kBlood, true);
  // The plain window background, behind code-made windows such as the error
  // window, which writes white text straight onto it: a dark slate face.
  // "black blood/default.tga" is that skin's "default" element.
  TPalette slate = kWindows;
  slate.Face = 0x3c434c;
  slate.Outline = 0x14181c;
  slate.Grain = 0.08f;
  tree.Add("skins/default.tga", WindowBackground(slate, false).TGA32());
}
