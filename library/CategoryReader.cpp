// Reading a category file: the samples of its bytes, in file order.
#include "library/CategoryReader.h"

#include <cstring>

#include "library/CategoryFormat.h"
#include "library/LineScan.h"

namespace {

// Lines of an in-memory file. A line runs up to the next LF; the LF and a CR just
// before it are removed. A last line without a line end is still a line.
class LineReader {
public:
    explicit LineReader(std::string_view data) : m_data(data), m_lfs(data) {}

    bool Next(std::string_view& line) {
        if (m_pos >= m_data.size())
            return false;
        const char* start = m_data.data() + m_pos;
        const size_t lf = m_lfs.Next();
        size_t len = lf - m_pos;
        m_pos = lf < m_data.size() ? lf + 1 : lf;
        if (lf < m_data.size() && len > 0 && start[len - 1] == '\r')
            --len;
        line = std::string_view(start, len);
        return true;
    }

    // Where the next line starts.
    size_t Pos() const { return m_pos; }
    // Where the file's bytes end: a line may be read in whole 16-byte blocks up to here.
    const char* End() const { return m_data.data() + m_data.size(); }

private:
    std::string_view m_data;
    linescan::LfFinder m_lfs;
    size_t m_pos = 0;
};

// Reads a comment or text section after its begin marker into value: the first line
// is always content; then lines up to the first that is exactly the end marker. Each
// file line gives its bytes without the line end (LF and a CR before it); then a line
// ending in CR gets LF, another non-empty line CR LF, an empty line nothing. The value
// is built in scratch, which keeps its capacity from call to call, and then copied into
// a string of its exact size. False at end of file.
bool ReadSection(LineReader& lines, std::string_view end, std::string& scratch, std::string& value) {
    size_t used = 0;
    bool first = true;
    std::string_view line;
    while (lines.Next(line)) {
        const size_t len = line.size();
        if (!first && len == end.size() && std::memcmp(line.data(), end.data(), len) == 0) {
            value = std::string(scratch.data(), used);
            return true;
        }
        first = false;
        if (len > 0) {
            // A line grows by one byte at most (LF to CR LF).
            const size_t need = used + len + 2 + linescan::kCopySlack;
            if (scratch.size() < need)
                scratch.resize(std::max(2 * scratch.size(), need));
            char* o = scratch.data() + used;
            linescan::CopyLine(o, line.data(), len, lines.End());
            o += len;
            if (line[len - 1] != '\r')
                *o++ = '\r';
            *o++ = '\n';
            used = static_cast<size_t>(o - scratch.data());
        }
    }
    return false;
}

bool Contains(std::string_view line, std::string_view what) {
    return line.find(what) != std::string_view::npos;
}

} // namespace

const char* ParseSamples(std::string_view data, std::vector<std::unique_ptr<CSample>>& out,
                         std::vector<RecordSpan>* spans) {
    // About one sample per kilobyte: room for most files at once.
    out.reserve(out.size() + data.size() / 1024 + 1);

    // Comments, text and keywords are collected in buffers that keep their capacity from
    // sample to sample; each value is then copied once into a string of its exact size.
    LineReader lines(data);
    std::string_view line;
    std::string keywords;
    std::string scratch;
    std::string value;
    const char* failedAt = nullptr;
    // Each sample is made where it stays: the document takes the records as they are.
    size_t begin = lines.Pos();
    while (lines.Next(line)) {
        auto sample = std::make_unique<CSample>();
        if (line != marker::kSampleBegin) {
            failedAt = readpos::kStartOfSample;
            break;
        }
        failedAt = readpos::kCategories;
        if (!lines.Next(line) || !Contains(line, marker::kCategory))
            break;
        sample->SetCategory(std::string(line.substr(marker::kCategory.size())));
        if (!lines.Next(line) || !Contains(line, marker::kSubcategory))
            break;
        sample->SetSubcategory(std::string(line.substr(marker::kSubcategory.size())));
        if (!lines.Next(line) || !Contains(line, marker::kTitle))
            break;
        sample->SetTitle(std::string(line.substr(marker::kTitle.size())));

        failedAt = readpos::kKeywords;
        if (!lines.Next(line) || !Contains(line, marker::kKeywordsBegin) || !lines.Next(line))
            break;
        keywords.assign(line);
        bool ended = false;
        while (lines.Next(line)) {
            if (line == marker::kKeywordsEnd) {
                ended = true;
                break;
            }
            keywords.append(line);
        }
        if (!ended)
            break;
        sample->SetKeywords(keywords);

        failedAt = readpos::kComments;
        if (!lines.Next(line) || !Contains(line, marker::kCommentsBegin) ||
            !ReadSection(lines, marker::kCommentsEnd, scratch, value))
            break;
        sample->SetComments(std::move(value));

        failedAt = readpos::kText;
        if (!lines.Next(line) || !Contains(line, marker::kTextBegin) ||
            !ReadSection(lines, marker::kTextEnd, scratch, value))
            break;
        sample->SetText(std::move(value));

        failedAt = readpos::kEndOfSample;
        if (!lines.Next(line) || line != marker::kSampleEnd)
            break;
        failedAt = nullptr;
        out.push_back(std::move(sample));
        if (spans)
            spans->push_back(RecordSpan{begin, lines.Pos()});
        begin = lines.Pos();
    }
    return failedAt;
}
