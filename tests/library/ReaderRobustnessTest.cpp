// Feeds the reader many random and mutated files (fixed seeds, bounded count) and
// checks that it never crashes, hangs or misreports, and that whatever it reads can
// be written and read back unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "library/CategoryWriter.h"
#include "CategoryTestUtil.h"
#include "library/CategoryFormat.h"
#include "library/ContentCheck.h"
#include "support/TestSupport.h"

namespace {

const std::string kFile = "quorrinfuzz.txt";

const std::vector<std::string>& Tokens() {
    static const std::vector<std::string> tokens = {std::string(marker::kSampleBegin),
                                                    std::string(marker::kCategory),
                                                    std::string(marker::kSubcategory),
                                                    std::string(marker::kTitle),
                                                    std::string(marker::kKeywordsBegin),
                                                    std::string(marker::kKeywordsEnd),
                                                    std::string(marker::kCommentsBegin),
                                                    std::string(marker::kCommentsEnd),
                                                    std::string(marker::kTextBegin),
                                                    std::string(marker::kTextEnd),
                                                    std::string(marker::kSampleEnd),
                                                    "\r\n",
                                                    "\n",
                                                    "\r",
                                                    ",",
                                                    ", ",
                                                    " ",
                                                    "a",
                                                    "Title",
                                                    "C++",
                                                    std::string(1, '\0'),
                                                    "\xC3\x84",
                                                    "\xFF"};
    return tokens;
}

std::string RandomFile(std::mt19937& rng) {
    std::string out;
    int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i) {
        if (rng() % 5 == 0)
            out.push_back(static_cast<char>(rng() % 256));
        else
            out += Tokens()[rng() % Tokens().size()];
    }
    return out;
}

std::string ValidFile(std::mt19937& rng) {
    std::string out;
    int n = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) {
        CSample s;
        s.SetTitle("T" + std::to_string(rng() % 5));
        s.SetCategory("C++");
        s.SetSubcategory(rng() % 2 ? "GUI" : "");
        s.SetKeywords(rng() % 2 ? "a, b" : "");
        s.SetComments(rng() % 2 ? "line\r\n\r\nmore" : "");
        s.SetText(rng() % 2 ? "int main()\r\n{\r\n}\r\n" : "x");
        AppendSampleBytes(out, s);
    }
    return out;
}

std::string Mutate(std::string data, std::mt19937& rng) {
    int n = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < n; ++i) {
        size_t pos = data.empty() ? 0 : rng() % (data.size() + 1);
        switch (rng() % 6) {
        case 0: // flip a byte
            if (!data.empty())
                data[pos % data.size()] = static_cast<char>(rng() % 256);
            break;
        case 1: // cut a range
            data.erase(pos, rng() % 40);
            break;
        case 2: // insert a token
            data.insert(pos, Tokens()[rng() % Tokens().size()]);
            break;
        case 3: // truncate
            data.resize(pos);
            break;
        case 4: { // duplicate a line
            size_t start = data.rfind('\n', pos == 0 ? 0 : pos - 1);
            start = start == std::string::npos ? 0 : start + 1;
            size_t end = data.find('\n', pos);
            end = end == std::string::npos ? data.size() : end + 1;
            if (start < end)
                data.insert(start, data.substr(start, end - start));
            break;
        }
        default: // a line end somewhere
            data.insert(pos, rng() % 2 ? "\n" : "\r");
            break;
        }
    }
    return data;
}

// The lone empty keyword of "," has an empty joined form and so reads back as none.
bool SameAfterRewrite(const CSample& a, const CSample& b) {
    auto kw = [](const CSample& s) {
        return s.Keywords() == std::vector<std::string>{""} ? std::vector<std::string>{} : s.Keywords();
    };
    return a.GetTitle() == b.GetTitle() && a.GetCategory() == b.GetCategory() &&
           a.GetSubcategory() == b.GetSubcategory() && kw(a) == kw(b) && a.GetComments() == b.GetComments() &&
           a.GetText() == b.GetText();
}

// A fresh file each time: rewriting a truncated file makes some file systems flush
// it on close, which is slow on a busy disk.
void PutFile(const std::string& bytes) {
    std::remove(kFile.c_str());
    WriteFileBytes(kFile, bytes);
}

void CheckOne(const std::string& bytes, RecordingMessenger& messages) {
    PutFile(bytes);
    messages.Clear();
    ReadResult r = ReadCategoryFile(kFile);
    ASSERT_TRUE(r.opened);
    ASSERT_LE(messages.shown.size(), 1u);
    if (r.complete) {
        ASSERT_TRUE(messages.shown.empty());
        ASSERT_FALSE(r.incomplete);
    } else {
        ASSERT_EQ(r.incomplete, !bytes.empty());
        ASSERT_EQ(messages.shown.size(), bytes.empty() ? 0u : 1u);
        if (!bytes.empty()) {
            ASSERT_EQ(messages.shown[0].text.rfind("Error processing ", 0), 0u) << messages.shown[0].text;
        }
    }
    // Whatever was read can be stored and comes back unchanged.
    std::string rewritten;
    for (const auto& [title, s] : r.samples) {
        ASSERT_EQ(title, s->GetTitle());
        ASSERT_EQ(CheckSampleStorable(*s), "") << title;
        AppendSampleBytes(rewritten, *s);
    }
    PutFile(rewritten);
    messages.Clear();
    ReadResult back = ReadCategoryFile(kFile);
    ASSERT_TRUE(back.complete || rewritten.empty());
    ASSERT_TRUE(messages.shown.empty());
    ASSERT_EQ(back.samples.size(), r.samples.size());
    for (const auto& [title, s] : r.samples) {
        ASSERT_TRUE(back.samples.count(title)) << title;
        ASSERT_TRUE(SameAfterRewrite(*back.samples.at(title), *s)) << title;
    }
}

class ReaderRobustness : public ::testing::Test {
protected:
    RecordingMessenger messages;
    TempDir dir;
};

TEST_F(ReaderRobustness, RandomFiles) {
    std::mt19937 rng(1);
    for (int i = 0; i < 1500; ++i) {
        SCOPED_TRACE(i);
        CheckOne(RandomFile(rng), messages);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ReaderRobustness, MutatedValidFiles) {
    std::mt19937 rng(2);
    std::vector<std::string> seeds;
    for (const char* f :
         {"writer_edge_case.txt", "writer_several.txt", "reader_oddities.txt", "seq_input_sample_text.txt"})
        seeds.push_back(ReadFileBytes(Fixture(f)));
    for (int i = 0; i < 1500; ++i) {
        SCOPED_TRACE(i);
        std::string base = i % 3 == 0 ? ValidFile(rng) : seeds[rng() % seeds.size()];
        CheckOne(Mutate(base, rng), messages);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ReaderRobustness, LongLinesAndManySamples) {
    std::string longLine(1 << 20, 'x');
    CheckOne(longLine, messages);
    CheckOne(std::string(marker::kSampleBegin) + "\r\n" + longLine, messages);
    std::string many;
    for (int i = 0; i < 2000; ++i) {
        CSample s;
        s.SetTitle("Sample " + std::to_string(i % 1500)); // 500 duplicates
        s.SetText(std::string(100, 'y'));
        AppendSampleBytes(many, s);
    }
    WriteFileBytes(kFile, many);
    ReadResult r = ReadCategoryFile(kFile);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.samples.size(), 1500u);
    EXPECT_EQ(r.errors.GetCount(), 500);
}

} // namespace
