// The sample record: keyword parsing and joining.
#include <gtest/gtest.h>

#include "CategoryTestUtil.h"

namespace {

TEST(SampleKeywords, ParsingRules) {
    const struct {
        const char* text;
        Words words;
        const char* joined;
    } rows[] = {
        {"red,green , blue", {"red", "green", "blue"}, "red, green, blue"},
        {" a ", {" a "}, " a "},               // no comma: kept whole, untrimmed
        {"a,,b", {"a", "", "b"}, "a, , b"},    // an empty keyword in the middle
        {"a, b,", {"a", "b"}, "a, b"},         // a trailing comma adds nothing
        {"a, b,  ", {"a", "b", ""}, "a, b, "}, // trailing blanks add one empty keyword
        {",", {""}, ""},
        {"\ta\t,\tb\t", {"a", "b"}, "a, b"},
        {"k1, ,k3", {"k1", "", "k3"}, "k1, , k3"},
    };
    for (const auto& r : rows) {
        CSample s;
        ASSERT_TRUE(s.SetKeywords(r.text));
        EXPECT_EQ(s.Keywords(), r.words) << r.text;
        EXPECT_EQ(s.GetKeywords(), r.joined) << r.text;
        // The file stores the joined form; it parses back to the same keywords (but
        // for the lone empty keyword of ",", whose joined form is empty).
        CSample back;
        back.SetKeywords(s.GetKeywords());
        EXPECT_EQ(back.Keywords(), std::string(r.text) == "," ? Words{} : r.words) << r.text;
    }
    // An empty string is refused and keeps the keywords.
    CSample s;
    s.SetKeywords("a, b");
    EXPECT_FALSE(s.SetKeywords(""));
    EXPECT_EQ(s.Keywords(), (Words{"a", "b"}));
}

} // namespace
