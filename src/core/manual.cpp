// Writing a TManual as plain text and as roff.
#include "core/manual.h"

#include "core/convert.h"

namespace {

// Breaks text into lines of at most width characters (a longer word keeps its
// own line), each after indent.
std::string Wrapped(const std::string& text, size_t indent, size_t width) {
  std::string out, line;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    start = end + 1;
    if (word.empty()) continue;
    if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
      out += std::string(indent, ' ') + line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) out += std::string(indent, ' ') + line + "\n";
  return out;
}

constexpr size_t kWidth = 100;
constexpr size_t kTermColumn = 22;

// Text safe in roff: backslashes escaped, no line taken for a request, and
// "-" as the minus sign that options and paths need.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
  return out;
}

}  // namespace

std::string HelpText(const TManual& manual) {
  std::string text;
  for (size_t i = 0; i < manual.Synopsis.size(); ++i)
    text += (i == 0 ? "Usage: " : "       ") + manual.Name + (manual.Synopsis[i].empty() ? "" : " ") +
            manual.Synopsis[i] + "\n";
  for (const std::string& paragraph : manual.Description) text += "\n" + Wrapped(paragraph, 0, kWidth);
  for (const TManualSection& section : manual.Sections) {
    text += "\n" + section.Title + ":\n";
    if (!section.Text.empty()) text += Wrapped(section.Text, 2, kWidth);
    for (const TManualItem& item : section.Items) {
      std::string term = "  " + item.Term;
      if (term.size() + 2 > kTermColumn) {
        text += term + "\n" + Wrapped(item.Text, kTermColumn, kWidth);
        continue;
      }
      term.resize(kTermColumn, ' ');
      const std::string lines = Wrapped(item.Text, kTermColumn, kWidth);
      text += term + lines.substr(kTermColumn);
    }
  }
  return text;
}

std::string ManPage(const TManual& manual, const std::string& version) {
  const std::string section = std::to_string(manual.Section);
  const char* title = manual.Section == 6 ? "Games" : manual.Section == 8 ? "System Administration" : "User Commands";
  std::string page = ".TH " + UpperCase(manual.Name) + " " + section + " \"\" \"Grimvale " + version + "\" \"" +
                     title + "\"\n";
  page += ".SH NAME\n" + Roff(manual.Name) + " \\- " + Roff(manual.Summary) + "\n";
  page += ".SH SYNOPSIS\n";
  for (size_t i = 0; i < manual.Synopsis.size(); ++i)
    page += std::string(i == 0 ? "" : ".br\n") + ".B " + Roff(manual.Name) + "\n" +
            (manual.Synopsis[i].empty() ? "" : Roff(manual.Synopsis[i]) + "\n");
  page += ".SH DESCRIPTION\n";
  for (size_t i = 0; i < manual.Description.size(); ++i)
    page += (i == 0 ? "" : ".PP\n") + Roff(manual.Description[i]) + "\n";
  for (const TManualSection& s : manual.Sections) {
    page += ".SH " + Roff(UpperCase(s.Title)) + "\n";
    if (!s.Text.empty()) page += Roff(s.Text) + "\n";
    for (const TManualItem& item : s.Items) page += ".TP\n.B " + Roff(item.Term) + "\n" + Roff(item.Text) + "\n";
  }
  return page;
}
