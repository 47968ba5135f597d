// The instant find's word rule and rank, as a table: which samples every word finds,
// in which order, and which letters are marked.
#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "library/WordFind.h"

namespace {

TEST(WordFind, SplitsAtBlanks) {
    EXPECT_EQ(SplitWords("  socket\tthread \r\n pool"), (std::vector<std::string>{"socket", "thread", "pool"}));
    EXPECT_TRUE(SplitWords(" \t ").empty());
}

// The rank of one word in one field: the field's kind, then where the word stands.
TEST(WordFind, ScoresAWordByFieldAndPlace) {
    struct Row {
        const char* field;
        const char* word;
        WordField kind;
        int score;
    };
    const Row rows[] = {
        {"Socket", "socket", WordField::Title, 1220},              // the whole title
        {"Socket basics", "SOCKET", WordField::Title, 1187},       // starts it: 1000+120+40+60*6/13
        {"Open a socket now", "socket", WordField::Title, 1141},   // a word inside: 1000+80+40+21
        {"getSocketName", "socket", WordField::Title, 1127},       // a capital after a small letter
        {"Websockets", "socket", WordField::Title, 1036},          // inside a word: 1000+36
        {"socket", "socket", WordField::Keyword, 820},             // a keyword, however well placed
        {"sockets and threads", "socket", WordField::Text, 320},   // the text: no share of the field
        {"Open a sock", "socket", WordField::Title, 0},            // not there
        {"\xC4rger", "\xC3\xA4rg", WordField::Title, 1156},        // Windows-1252 field, UTF-8 word
    };
    for (const Row& row : rows)
        EXPECT_EQ(ScoreWord(row.field, row.word, row.kind), row.score) << row.field << " / " << row.word;
}

// Every word must occur, in any order, each in the title or a keyword (or, in text, in
// the comments or the text); the order of the words changes nothing.
TEST(WordFind, EveryWordInAnyOrder) {
    CSample sample = MakeSample("Thread pool", "C++", "General", "sockets", "a comment", "select() loop");
    struct Row {
        const char* typed;
        bool inText;
        bool found;
    };
    const Row rows[] = {
        {"socket thread", false, true}, {"thread socket", false, true}, {"POOL   Thread", false, true},
        {"socket select", false, false}, {"socket select", true, true},  {"thread zebra", true, false},
        {"comment", true, true},          {"General", true, false},       {"", true, false},
    };
    for (const Row& row : rows) {
        CWordFind find(row.typed, row.inText);
        EXPECT_EQ(find.Score(sample) > 0, row.found) << row.typed << (row.inText ? " (in text)" : "");
    }
    EXPECT_EQ(CWordFind("socket thread", false).Score(sample), CWordFind("thread socket", false).Score(sample));
}

TEST(WordFind, RanksTitleOverKeywordOverTextAndWordsTogether) {
    const CSample together = MakeSample("Socket thread", "C++", "General", "", "", "");
    const CSample apart = MakeSample("Thread for a socket", "C++", "General", "", "", "");
    const CSample keyword = MakeSample("Thread", "C++", "General", "socket", "", "");
    const CSample text = MakeSample("Thread", "C++", "General", "", "", "socket");
    CWordFind find("socket thread", true);
    const int a = find.Score(together), b = find.Score(apart), c = find.Score(keyword), d = find.Score(text);
    EXPECT_GT(a, b);
    EXPECT_GT(b, c);
    EXPECT_GT(c, d);
    EXPECT_GT(d, 0);
}

TEST(WordFind, MarksTheLettersTheWordsCover) {
    EXPECT_EQ(CWordFind("thr sock", false).Marks("Socket thread"),
              (std::vector<MarkRange>{{0, 4}, {7, 10}}));
    // Overlapping and touching runs are one.
    EXPECT_EQ(CWordFind("ab bc cd", false).Marks("xabcdx"), (std::vector<MarkRange>{{1, 5}}));
    // A Windows-1252 field is marked where its characters are.
    EXPECT_EQ(CWordFind("\xC3\xA4", false).Marks("B\xE4r \xC4"), (std::vector<MarkRange>{{1, 2}, {4, 5}}));
}

TEST(WordFind, EqualRanksKeepTheirOrder) {
    CSample s1, s2, s3;
    std::vector<RankedSample> found = {{&s1, 5}, {&s2, 9}, {&s3, 5}};
    SortByRank(found);
    EXPECT_EQ(found[0].sample, &s2);
    EXPECT_EQ(found[1].sample, &s1);
    EXPECT_EQ(found[2].sample, &s3);
}

} // namespace
