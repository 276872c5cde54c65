// A program's documentation as data, written out two ways: the --help text and
// the manual page. Both come from the one description, so they cannot tell
// different stories.
#pragma once
#include <string>
#include <vector>

struct TManualItem {
  std::string Term;  // "--map NAME", "status", "~/.config/grimvale/config.ini"
  std::string Text;
};

struct TManualSection {
  std::string Title;               // "Options", "Files", ...
  std::string Text;                // a paragraph before the items; may be empty
  std::vector<TManualItem> Items;
};

struct TManual {
  std::string Name;  // the command
  int Section = 1;   // of the manual: 1 for commands, 6 for games
  std::string Summary;
  std::vector<std::string> Synopsis;  // each a way to call it, after the name
  std::vector<std::string> Description;  // paragraphs
  std::vector<TManualSection> Sections;
};

// "Usage:" lines, the description, then each section with its items in two
// columns.
std::string HelpText(const TManual& manual);
// The page in roff with the man macros; version goes into its footer.
std::string ManPage(const TManual& manual, const std::string& version);
