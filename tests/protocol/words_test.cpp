#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/words.h"

static std::vector<std::string> SplitAll(std::string text) {
  std::vector<char> line(text.begin(), text.end());
  line.push_back(0);
  char* cursor = line.data();
  std::vector<std::string> words;
  while (const char* word = NextWord(&cursor)) words.push_back(word);
  return words;
}

TEST(Words, SplitsOnBlanksOnly) {
  EXPECT_EQ(SplitAll("  go   depth 5 "), (std::vector<std::string>{"go", "depth", "5"}));
  EXPECT_EQ(SplitAll("a\tb"), (std::vector<std::string>{"a\tb"}));  // a tab is part of the word
  EXPECT_TRUE(SplitAll("").empty());
  EXPECT_TRUE(SplitAll("    ").empty());
}

TEST(Words, SplittingOverwritesTheEndingBlank) {
  char line[] = "position startpos";
  char* cursor = line;
  NextWord(&cursor);
  EXPECT_STREQ(line, "position");
  EXPECT_STREQ(NextWord(&cursor), "startpos");
  EXPECT_EQ(NextWord(&cursor), nullptr);
  EXPECT_EQ(NextWord(&cursor), nullptr);  // stays at the end
}

TEST(Words, ParseDecimal) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"42", 42},       {"  -17x", -17},        {"+8", 8},          {"abc", 0},
      {"", 0},          {"-", 0},               {"12ab3", 12},      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << c.text;
}

TEST(Words, BoundedCopiesNeverOverrun) {
  char buffer[8];
  memset(buffer, 'x', sizeof buffer);
  CopyBounded(buffer, 6, "abcdefghij");
  EXPECT_STREQ(buffer, "abcde");
  EXPECT_EQ(buffer[6], 'x');
  AppendBounded(buffer, 6, "zz");  // full: nothing is added
  EXPECT_STREQ(buffer, "abcde");
  CopyBounded(buffer, 6, "ab");
  AppendBounded(buffer, 6, "cdefg");
  EXPECT_STREQ(buffer, "abcde");
  AppendBounded(buffer, 6, nullptr);
  EXPECT_STREQ(buffer, "abcde");
}

TEST(Words, EqualsNoCase) {
  EXPECT_TRUE(EqualsNoCase("Use Tablebases", "use TABLEBASES"));
  EXPECT_FALSE(EqualsNoCase("Queen", "Queen (Endgame)"));
  EXPECT_FALSE(EqualsNoCase("Queen (Endgame)", "Queen"));
  EXPECT_TRUE(EqualsNoCase("", ""));
}
