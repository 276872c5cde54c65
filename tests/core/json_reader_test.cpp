// The JSON reader on what a sidecar may send: well-formed documents read
// back whole, and every malformed or oversized one refused.
#include <gtest/gtest.h>

#include "core/json_reader.h"

TEST(JsonReader, ReadsNestedDocumentsWithEscapes) {
  const auto v = ParseJson(R"( {"a":{"b":[1,-2.5e3,true,null,"x\"\\\/\n\u00e9\ud83d\ude00"]},"c":false} )");
  ASSERT_TRUE(v);
  const TJsonValue* b = v->Member("a")->Member("b");
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->Items.size(), 5u);
  EXPECT_EQ(b->Items[0].Text, "1");
  EXPECT_EQ(b->Items[1].Text, "-2.5e3");
  EXPECT_TRUE(b->Items[2].Bool);
  EXPECT_EQ(b->Items[3].Kind, TJsonValue::TKind::Null);
  EXPECT_EQ(b->Items[4].Text, "x\"\\/\n\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(v->Member("c")->Kind, TJsonValue::TKind::Bool);
  EXPECT_EQ(v->StringAt("c"), std::nullopt);  // not a string
  EXPECT_EQ(v->Member("missing"), nullptr);
  EXPECT_EQ(ParseJson(R"("\ud800x")")->Text, "\xEF\xBF\xBDx");  // a lone surrogate
}

TEST(JsonReader, RefusesMalformedAndOversizedDocuments) {
  const std::string deep = std::string(kJsonMaxDepth + 2, '[') + std::string(kJsonMaxDepth + 2, ']');
  const std::string huge = "\"" + std::string(kJsonMaxBytes, 'a') + "\"";
  for (const std::string& text :
       {std::string(""), std::string("{"), std::string("{\"a\" 1}"), std::string("{\"a\":1,}"), std::string("[1 2]"),
        std::string("\"abc"), std::string("\"a\\q\""), std::string("\"\\u12\""), std::string("\"a\nb\""),
        std::string("01x"), std::string("-"), std::string("1."), std::string("1e"), std::string("tru"),
        std::string("{} {}"), std::string("{1:2}"), deep, huge}) {
    std::string error;
    EXPECT_FALSE(ParseJson(text, &error)) << text.substr(0, 40);
    EXPECT_FALSE(error.empty());
  }
  const std::string fits = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
  EXPECT_TRUE(ParseJson(fits));
}

TEST(JsonReader, QuotesWhatItWillReadBack) {
  const std::string text = std::string("a\"b\\c\x01\n") + "\xC3\xA9";
  EXPECT_EQ(JsonQuote(text), "\"a\\\"b\\\\c\\u0001\\u000a\xC3\xA9\"");
  EXPECT_EQ(ParseJson(JsonQuote(text))->Text, text);
}
