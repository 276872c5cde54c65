// The INI layer: settings files read key by key with a default for every key,
// and every write going straight to the file.
//
// Format as read here: "[Section]" lines start a section; "key=value" lines
// hold values; names match without regard to case; blanks around names (in the
// file and in the names asked for) and around values are ignored and a value enclosed in double quotes loses the quotes;
// lines starting with ';' or '#' and any other line are kept untouched. CRLF
// and LF files both read; a rewrite keeps the file's line ending. The first of
// duplicate sections or keys is the one read and written.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

// A write could not reach the file. what(): "In <file> kann nicht geschrieben werden".
class EIniWriteError : public std::runtime_error {
 public:
  explicit EIniWriteError(const std::string& fileName);
};

class TIniFile {
 public:
  // Reads the file when it exists; a missing file reads as empty.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName; }

  // Values are cut at 2047 characters.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal, or hexadecimal after "0x"/"0X" or "$"; text that does not convert gives def.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  // Read as an integer: non-zero is true.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  double ReadFloat(const std::string& section, const std::string& key, double def) const;

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSectionKeys(const std::string& section) const;

  // Each write replaces the file atomically, creating file, section and key as
  // needed. Throws EIniWriteError when the file cannot be written.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"
  void WriteFloat(const std::string& section, const std::string& key, double value);

 private:
  struct Line {
    std::string text;     // the line as in the file, without its line ending
    std::string section;  // set on section headers
    std::string key;      // set on key lines
    bool isSection = false;
    bool isKey = false;
  };
  static Line Parse(const std::string& text);
  // Index of the first header of the section, or -1.
  long FindSection(const std::string& section) const;
  long FindKey(const std::string& section, const std::string& key) const;
  void Flush();

  std::string fileName;
  std::vector<Line> lines;
  bool crlf = false;
};
