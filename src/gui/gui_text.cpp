// Conversion between .gui bytes and their text form. The file's layout is
// walked once (GuiLayout below) with a source that yields each field and a
// sink that records it; dumping reads bytes and writes text, building reads
// text and writes bytes.
#include "gui/gui_text.h"

#include "gui/gui_stream.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

enum class TField { Byte, Count, Int, Cardinal, Single, Items };

struct ELayoutError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Fields come out of a source as plain numbers (singles as their bits).
class TSource {
 public:
  virtual ~TSource() = default;
  virtual int64_t Number(const char* name, TField type) = 0;
  virtual std::string Str(const char* name) = 0;
  virtual void Color(const char* name, uint32_t bits[4]) = 0;
};

class TSink {
 public:
  virtual ~TSink() = default;
  virtual void Number(const char* name, TField type, int64_t value) = 0;
  virtual void Str(const char* name, const std::string& value) = 0;
  virtual void Color(const char* name, const uint32_t bits[4]) = 0;
  virtual void Open(const std::string&) {}
  virtual void Close() {}
};

// ---- the layout of a .gui file, written once for both directions

class GuiLayout {
 public:
  GuiLayout(TSource& source, TSink& sink) : in(source), out(sink) {}

  void File() {
    Str("filetype");
    Str("author");
    Str("version");
    int64_t windows = Number("windows", TField::Count);
    for (int64_t i = 0; i < windows; ++i) Window("window " + std::to_string(i));
  }

 private:
  int64_t Number(const char* name, TField type) {
    int64_t v = in.Number(name, type);
    out.Number(name, type, v);
    return v;
  }
  void Str(const char* name) { out.Str(name, in.Str(name)); }
  void Color(const char* name) {
    uint32_t bits[4];
    in.Color(name, bits);
    out.Color(name, bits);
  }
  void Byte(const char* name) { Number(name, TField::Byte); }
  void Int(const char* name) { Number(name, TField::Int); }

  void Common() {
    Int("x");
    Int("y");
    Number("z", TField::Single);
    Int("width");
    Int("height");
    Int("skin");
    Int("font");
    Byte("movable");
    Byte("inuse");
    Byte("visible");
    Int("popup");
  }

  void Items() {
    int64_t n = Number("items", TField::Items);
    for (int64_t i = 0; i < n; ++i) Str("caption");
  }

  template <class Data>
  void Section(const char* name, const char* element, Data data) {
    out.Open(std::string(name) + ":");
    int64_t n = Number(name, TField::Count);
    for (int64_t i = 0; i < n; ++i) {
      out.Open("- " + std::string(element) + " " + std::to_string(i));
      Common();
      data();
      out.Close();
    }
    out.Close();
  }

  void Window(const std::string& title) {
    if (++depth > kMaxWindowNesting) throw ELayoutError("windows nested too deeply");
    out.Open("# " + title);
    Section("popups", "popup", [&] {
      Color("textcolor");
      Int("textx");
      Int("texty");
      Items();
    });
    out.Open("window:");
    Common();
    Byte("ischild");
    Str("background");
    Color("color");
    Color("textcolor");
    Byte("showbackground");
    Byte("hascaptionbar");
    Int("captionheight");
    Str("caption");
    const bool hasChildren = Number("haschildwindows", TField::Byte) != 0;
    const bool hasTabs = Number("hastabcontrols", TField::Byte) != 0;
    Number("radiogroups", TField::Count);
    out.Close();
    Section("buttons", "button", [&] {
      Int("textx");
      Int("texty");
      Str("caption");
      Byte("pressed");
      Color("textcolor");
    });
    Section("texts", "text", [&] {
      Color("color");
      Str("text");
    });
    Section("panels", "panel", [] {});
    Section("progressbars", "progressbar", [&] { Number("position", TField::Single); });
    Section("edits", "edit", [&] {
      Str("text");
      Color("textcolor");
      Int("textx");
      Int("texty");
    });
    Section("checkboxes", "checkbox", [&] {
      Byte("checked");
      Byte("pressed");
    });
    Section("radiobuttons", "radiobutton", [&] {
      Byte("checked");
      Byte("pressed");
      Int("group");
      Int("indexingroup");
    });
    Section("images", "image", [&] {
      Byte("useblend");
      Number("blendsrc", TField::Cardinal);
      Number("blenddst", TField::Cardinal);
      Color("color");
      Str("filename");
    });
    Section("comboboxes", "combobox", [&] {
      Color("textcolor");
      Int("textx");
      Int("texty");
      Int("itemheight");
      Items();
    });
    Section("textfields", "textfield", [&] {
      Int("lineheight");
      Color("textcolor");
      Str("text");
    });
    Section("editfields", "editfield", [&] {
      Int("lineheight");
      Color("textcolor");
      Byte("readonly");
      Int("textx");
      Int("texty");
      Str("text");
    });
    if (hasTabs) {
      Section("tabcontrols", "tabcontrol", [&] {
        Int("tabheight");
        Int("tabwidth");
        Int("textx");
        Int("texty");
        Color("textcolor");
        int64_t pages = Number("pages", TField::Count);
        for (int64_t i = 0; i < pages; ++i) Window("page " + std::to_string(i));
      });
    }
    if (hasChildren) {
      out.Open("childwindows:");
      int64_t children = Number("childwindows", TField::Count);
      for (int64_t i = 0; i < children; ++i) Window("child window " + std::to_string(i));
      out.Close();
    }
    for (const char* button : {"minimizebutton:", "maximizebutton:", "closebutton:"}) {
      out.Open(button);
      Common();
      out.Close();
    }
    out.Close();
    --depth;
  }

  TSource& in;
  TSink& out;
  int32_t depth = 0;
};

// ---- bytes

class TByteSource : public TSource {
 public:
  explicit TByteSource(const std::string& b) : bytes(b) {}
  int64_t Number(const char*, TField type) override {
    switch (type) {
      case TField::Byte: return Take(1);
      case TField::Count: return Take(2) + 1;
      case TField::Int: return static_cast<int32_t>(Take(4));
      case TField::Cardinal:
      case TField::Single: return Take(4);
      case TField::Items: {
        int64_t last = static_cast<int32_t>(Take(4));
        if (last < 0) throw ELayoutError(At() + "negative item count");
        return last + 1;
      }
    }
    return 0;
  }
  std::string Str(const char*) override {
    size_t n = Take(2);
    Need(n);
    std::string s = bytes.substr(pos, n);
    pos += n;
    return s;
  }
  void Color(const char*, uint32_t bits[4]) override {
    for (int i = 0; i < 4; ++i) bits[i] = static_cast<uint32_t>(Take(4));
  }
  size_t Position() const { return pos; }
  std::string At() const { return "byte offset " + std::to_string(pos) + ": "; }

 private:
  void Need(size_t n) const {
    if (bytes.size() - pos < n) throw ELayoutError(At() + "file ends early");
  }
  uint32_t Take(size_t n) {
    Need(n);
    uint32_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= uint32_t(static_cast<uint8_t>(bytes[pos + i])) << (8 * i);
    pos += n;
    return v;
  }
  const std::string& bytes;
  size_t pos = 0;
};

class TByteSink : public TSink {
 public:
  void Number(const char*, TField type, int64_t v) override {
    switch (type) {
      case TField::Byte: Put(v, 1); break;
      case TField::Count: Put(v - 1, 2); break;
      case TField::Items: Put(v - 1, 4); break;
      default: Put(v, 4); break;
    }
  }
  void Str(const char*, const std::string& s) override {
    Put(s.size(), 2);
    bytes += s;
  }
  void Color(const char*, const uint32_t bits[4]) override {
    for (int i = 0; i < 4; ++i) Put(bits[i], 4);
  }
  std::string bytes;

 private:
  void Put(int64_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) bytes += static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
  }
};

// ---- text

std::string FloatText(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  if (f != f || f - f != 0) {  // NaN or infinity: keep the exact bits
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", bits);
    return std::string("bits:") + hex;
  }
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, f);
  return std::string(buf, end);
}

std::string Quote(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '\\': q += "\\\\"; break;
      case '"': q += "\\\""; break;
      case '\r': q += "\\r"; break;
      case '\n': q += "\\n"; break;
      case '\t': q += "\\t"; break;
      default:
        if (c < 32 || c == 127) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          q += hex;
        } else {
          q += static_cast<char>(c);
        }
    }
  }
  return q + "\"";
}

class TTextSink : public TSink {
 public:
  void Number(const char* name, TField type, int64_t v) override {
    Line(name, type == TField::Single ? FloatText(static_cast<uint32_t>(v)) : std::to_string(v));
  }
  void Str(const char* name, const std::string& s) override { Line(name, Quote(s)); }
  void Color(const char* name, const uint32_t bits[4]) override {
    Line(name, FloatText(bits[0]) + " " + FloatText(bits[1]) + " " + FloatText(bits[2]) + " " + FloatText(bits[3]));
  }
  void Open(const std::string& title) override {
    Indent();
    text += title + "\n";
    ++depth;
  }
  void Close() override { --depth; }
  std::string text;

 private:
  void Indent() { text.append(2 * depth, ' '); }
  void Line(const char* name, const std::string& value) {
    Indent();
    text += name;
    text += ' ';
    text += value;
    text += '\n';
  }
  int depth = 0;
};

class TTextSource : public TSource {
 public:
  explicit TTextSource(const std::string& t) : text(t) {}
  int64_t Number(const char* name, TField type) override {
    std::string v = Value(name);
    if (type == TField::Single) return ParseFloat(v);
    int64_t lo = 0, hi = 0;
    switch (type) {
      case TField::Byte: hi = 255; break;
      case TField::Count: lo = 1; hi = 65536; break;
      case TField::Int: lo = INT32_MIN; hi = INT32_MAX; break;
      case TField::Cardinal: hi = UINT32_MAX; break;
      default: lo = 1; hi = int64_t{INT32_MAX} + 1; break;  // items
    }
    int64_t n = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || n < lo || n > hi)
      throw ELayoutError(At() + "\"" + v + "\" is not a number from " + std::to_string(lo) + " to " + std::to_string(hi));
    return n;
  }
  std::string Str(const char* name) override { return Unquote(Value(name)); }
  // Whether only structure lines remain.
  bool AtEnd() {
    std::string key, value;
    return !NextField(key, value);
  }
  void Color(const char* name, uint32_t bits[4]) override {
    std::string v = Value(name);
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
      size_t space = v.find(' ', start);
      if ((i < 3) != (space != std::string::npos)) throw ELayoutError(At() + "a colour needs four numbers");
      bits[i] = ParseFloat(v.substr(start, space - start));
      start = space + 1;
    }
  }

 private:
  std::string At() const { return "line " + std::to_string(lineNumber) + ": "; }

  bool NextField(std::string& key, std::string& value) {
    while (pos < text.size()) {
      size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      pos = end + 1;
      ++lineNumber;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      size_t first = line.find_first_not_of(' ');
      if (first == std::string::npos || line[first] == '#' || line[first] == '-' || line.back() == ':') continue;
      size_t space = line.find(' ', first);
      key = line.substr(first, space == std::string::npos ? std::string::npos : space - first);
      value = space == std::string::npos ? std::string() : line.substr(space + 1);
      return true;
    }
    return false;
  }

  // The value of the next field line, which must carry the expected name.
  std::string Value(const char* name) {
    std::string key, value;
    if (!NextField(key, value)) throw ELayoutError(At() + "text ends before \"" + name + "\"");
    if (key != name) throw ELayoutError(At() + "expected \"" + name + "\", found \"" + key + "\"");
    return value;
  }

  uint32_t ParseFloat(const std::string& v) const {
    uint32_t bits = 0;
    if (v.rfind("bits:", 0) == 0) {
      auto [end, ec] = std::from_chars(v.data() + 5, v.data() + v.size(), bits, 16);
      if (ec != std::errc() || end != v.data() + v.size() || v.size() != 13)
        throw ELayoutError(At() + "\"" + v + "\" is not eight hex digits");
      return bits;
    }
    float f = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), f);
    if (ec != std::errc() || end != v.data() + v.size() || f != f || f - f != 0)
      throw ELayoutError(At() + "\"" + v + "\" is not a finite number");
    std::memcpy(&bits, &f, 4);
    return bits;
  }

  std::string Unquote(const std::string& v) const {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') throw ELayoutError(At() + "a string must be quoted");
    std::string s;
    for (size_t i = 1; i + 1 < v.size(); ++i) {
      char c = v[i];
      if (c == '"') throw ELayoutError(At() + "a quote inside a string needs a backslash");
      if (c != '\\') {
        s += c;
        continue;
      }
      if (++i + 1 >= v.size()) throw ELayoutError(At() + "a string ends in a backslash");
      switch (v[i]) {
        case '\\': s += '\\'; break;
        case '"': s += '"'; break;
        case 'r': s += '\r'; break;
        case 'n': s += '\n'; break;
        case 't': s += '\t'; break;
        case 'x': {
          unsigned byte = 0;
          auto [end, ec] = std::from_chars(v.data() + i + 1, v.data() + std::min(i + 3, v.size() - 1), byte, 16);
          if (ec != std::errc() || end != v.data() + i + 3) throw ELayoutError(At() + "\\x needs two hex digits");
          s += static_cast<char>(byte);
          i += 2;
          break;
        }
        default: throw ELayoutError(At() + "unknown escape \\" + std::string(1, v[i]));
      }
    }
    if (s.size() > 65535) throw ELayoutError(At() + "a string holds at most 65535 bytes");
    return s;
  }

  const std::string& text;
  size_t pos = 0;
  int lineNumber = 0;
};

}  // namespace

bool GuiDump(const std::string& bytes, std::string& text, std::string& error) {
  TByteSource source(bytes);
  TTextSink sink;
  try {
    GuiLayout(source, sink).File();
    if (source.Position() != bytes.size()) throw ELayoutError(source.At() + "bytes after the last window");
  } catch (const ELayoutError& e) {
    error = e.what();
    return false;
  }
  text = std::move(sink.text);
  return true;
}

bool GuiBuild(const std::string& text, std::string& bytes, std::string& error) {
  TTextSource source(text);
  TByteSink sink;
  try {
    GuiLayout(source, sink).File();
    if (!source.AtEnd()) throw ELayoutError("text goes on after the last window");
  } catch (const ELayoutError& e) {
    error = e.what();
    return false;
  }
  bytes = std::move(sink.bytes);
  return true;
}
