// The --help text and the manual page written from one description.
#include "core/manual.h"

#include <gtest/gtest.h>

namespace {

TManual Sample() {
  return {"tool",
          1,
          "does things",
          {"", "run FILE"},
          {"First paragraph.", ".starts with a dot and has a \\ backslash"},
          {{"Options",
            "Before the items.",
            {{"--short", "fits beside"}, {"--a-rather-long-option VALUE", "goes below its term"}}}}};
}

}  // namespace

TEST(Manual, HelpTextHasTheUsageParagraphsAndTwoColumns) {
  EXPECT_EQ(HelpText(Sample()),
            "Usage: tool\n"
            "       tool run FILE\n"
            "\nFirst paragraph.\n"
            "\n.starts with a dot and has a \\ backslash\n"
            "\nOptions:\n"
            "  Before the items.\n"
            "  --short             fits beside\n"
            "  --a-rather-long-option VALUE\n"
            "                      goes below its term\n");
}

// Hyphens become minus signs, a backslash is escaped, and no text line can be
// taken for a request.
TEST(Manual, ManPageEscapesWhatRoffWouldReadAsMarkup) {
  EXPECT_EQ(ManPage(Sample(), "1.2"),
            ".TH TOOL 1 \"\" \"Grimvale 1.2\" \"User Commands\"\n"
            ".SH NAME\ntool \\- does things\n"
            ".SH SYNOPSIS\n.B tool\n.br\n.B tool\nrun FILE\n"
            ".SH DESCRIPTION\nFirst paragraph.\n.PP\n\\&.starts with a dot and has a \\e backslash\n"
            ".SH OPTIONS\nBefore the items.\n"
            ".TP\n.B \\-\\-short\nfits beside\n"
            ".TP\n.B \\-\\-a\\-rather\\-long\\-option VALUE\ngoes below its term\n");
}
