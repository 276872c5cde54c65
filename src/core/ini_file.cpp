// INI reading and writing.
#include "core/ini_file.h"

#include "core/convert.h"
#include "core/paths.h"

static constexpr size_t kMaxValueLength = 2047;

EIniWriteError::EIniWriteError(const std::string& fileName)
    : std::runtime_error("In " + fileName + " kann nicht geschrieben werden") {}

TIniFile::TIniFile(std::string name) : fileName(std::move(name)) {
  std::string contents;
  if (!ReadWholeFile(fileName, contents)) return;
  crlf = contents.find("\r\n") != std::string::npos;
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string text = contents.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back(Parse(text));
    start = end + 1;
  }
}

TIniFile::Line TIniFile::Parse(const std::string& text) {
  Line line;
  line.text = text;
  std::string t = Trim(text);
  if (t.empty() || t[0] == ';' || t[0] == '#') return line;
  if (t[0] == '[') {
    size_t close = t.find(']');
    if (close != std::string::npos) {
      line.isSection = true;
      line.section = Trim(t.substr(1, close - 1));
    }
    return line;
  }
  size_t eq = t.find('=');
  if (eq != std::string::npos) {
    line.isKey = true;
    line.key = Trim(t.substr(0, eq));
  }
  return line;
}

long TIniFile::FindSection(const std::string& section) const {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].isSection && SameText(lines[i].section, Trim(section))) return static_cast<long>(i);
  return -1;
}

long TIniFile::FindKey(const std::string& section, const std::string& key) const {
  long s = FindSection(section);
  if (s < 0) return -1;
  for (size_t i = static_cast<size_t>(s) + 1; i < lines.size() && !lines[i].isSection; ++i)
    if (lines[i].isKey && SameText(lines[i].key, Trim(key))) return static_cast<long>(i);
  return -1;
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(section) >= 0; }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FindKey(section, key) >= 0;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Line& line : lines)
    if (line.isSection) names.push_back(line.section);
  return names;
}

std::vector<std::string> TIniFile::ReadSectionKeys(const std::string& section) const {
  std::vector<std::string> keys;
  long s = FindSection(section);
  if (s < 0) return keys;
  for (size_t i = static_cast<size_t>(s) + 1; i < lines.size() && !lines[i].isSection; ++i)
    if (lines[i].isKey) keys.push_back(lines[i].key);
  return keys;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  long k = FindKey(section, key);
  if (k < 0) return def;
  const std::string& text = lines[static_cast<size_t>(k)].text;
  std::string value = Trim(text.substr(text.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
  return value;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = "$" + text.substr(2);
  return StrToIntDef(text, def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const std::string& section, const std::string& key, double def) const {
  return StrToFloatDef(ReadString(section, key, ""), def);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  Line entry = Parse(key + "=" + value);
  long k = FindKey(section, key);
  if (k >= 0) {
    lines[static_cast<size_t>(k)] = entry;
  } else {
    long s = FindSection(section);
    if (s < 0) {
      if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back(Parse(""));
      lines.push_back(Parse("[" + section + "]"));
      lines.push_back(entry);
    } else {
      // After the section's last non-blank line, so blank separators stay between sections.
      size_t at = static_cast<size_t>(s) + 1;
      for (size_t i = at; i < lines.size() && !lines[i].isSection; ++i)
        if (!Trim(lines[i].text).empty()) at = i + 1;
      lines.insert(lines.begin() + static_cast<long>(at), entry);
    }
  }
  Flush();
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
  WriteString(section, key, FloatToStr(value));
}

void TIniFile::Flush() {
  std::string contents;
  const char* eol = crlf ? "\r\n" : "\n";
  for (const Line& line : lines) contents += line.text + eol;
  if (!WriteFileAtomic(fileName, contents)) throw EIniWriteError(fileName);
}
