// Reading a category file: the samples of its bytes, in file order.
#include "library/CategoryReader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>

#include "base/ByteSearch.h"
#include "library/CategoryFormat.h"
#include "library/LineScan.h"
#include "library/SectionBlocks.h"

namespace {

// Lines of an in-memory file. A line runs up to the next LF; the LF and a CR just
// before it are removed. A last line without a line end is still a line.
class LineReader {
public:
    // From offset begin, which starts a line.
    LineReader(std::string_view data, size_t begin)
        : m_data(data), m_lfs(data.substr(begin)), m_base(begin), m_pos(begin) {}

    bool Next(std::string_view& line) {
        if (m_pos >= m_data.size())
            return false;
        const char* start = m_data.data() + m_pos;
        const size_t lf = m_base + m_lfs.Next();
        size_t len = lf - m_pos;
        m_pos = lf < m_data.size() ? lf + 1 : lf;
        if (lf < m_data.size() && len > 0 && start[len - 1] == '\r')
            --len;
        line = std::string_view(start, len);
        return true;
    }

    // Reads a section a block at a time where the processor can and every line end
    // before the end marker has a CR (see ReadSection): true when it did, with ended
    // saying whether the end marker came before the end of the file.
    bool SectionInBlocks(std::string_view lfEnd, std::string& scratch, std::string& value, bool& ended) {
        if (!m_blocks || m_pos >= m_data.size())
            return false;
        const size_t size = m_data.size();
        const sectionblocks::Found found = sectionblocks::SectionValue(m_data.substr(m_pos), lfEnd, scratch);
        if (found.kind == sectionblocks::Found::Declined) {
            // The file has lines ended by LF alone: it is read line by line from here on.
            m_blocks = false;
            return false;
        }
        ended = found.kind == sectionblocks::Found::Value;
        if (!ended) {
            Seek(size);
            return true;
        }
        value = std::string(scratch.data(), found.length);
        const size_t after = m_pos + found.markerAt + lfEnd.size();
        Seek(after == size ? size : m_data[after] == '\n' ? after + 1 : after + 2);
        return true;
    }

    // Where the next line starts.
    size_t Pos() const { return m_pos; }
    // Where the file's bytes end: a line may be read in whole 16-byte blocks up to here.
    const char* End() const { return m_data.data() + m_data.size(); }

private:
    // Goes on from pos, which starts a line.
    void Seek(size_t pos) {
        m_lfs = linescan::LfFinder(m_data.substr(pos));
        m_base = pos;
        m_pos = pos;
    }

    std::string_view m_data;
    linescan::LfFinder m_lfs; // over the bytes from m_base on
    size_t m_base;
    size_t m_pos;
    bool m_blocks = sectionblocks::Available(); // sections may be read a block at a time
};

// Reads a comment or text section after its begin marker into value: the first line
// is always content; then lines up to the first that is exactly the end marker (lfEnd is
// the marker with an LF before it). Each
// file line gives its bytes without the line end (LF and a CR before it); then a line
// ending in CR gets LF, another non-empty line CR LF, an empty line nothing. The value
// is built in scratch, which keeps its capacity from call to call, and then copied into
// a string of its exact size. False at end of file.
bool ReadSection(LineReader& lines, std::string_view lfEnd, std::string& scratch, std::string& value) {
    bool ended = false;
    if (lines.SectionInBlocks(lfEnd, scratch, value, ended))
        return ended;
    const std::string_view end = lfEnd.substr(1);
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

namespace {

// Reads the records from begin on, up to the end of data or to the first record that
// starts at or after stopAt, into out (with their spans when wanted). Returns the
// position where the sequence broke (nullptr when it did not); end is where reading
// stopped.
const char* ParseRange(std::string_view data, size_t begin, size_t stopAt,
                       std::vector<std::unique_ptr<CSample>>& out, std::vector<RecordSpan>* spans, size_t& end) {
    // Comments, text and keywords are collected in buffers that keep their capacity from
    // sample to sample; each value is then copied once into a string of its exact size.
    LineReader lines(data, begin);
    std::string_view line;
    std::string keywords;
    std::string scratch;
    std::string value;
    const char* failedAt = nullptr;
    // Each sample is made where it stays: the document takes the records as they are.
    size_t recordStart = lines.Pos();
    while (lines.Pos() < stopAt && lines.Next(line)) {
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
            !ReadSection(lines, marker::kLfCommentsEnd, scratch, value))
            break;
        sample->SetComments(std::move(value));

        failedAt = readpos::kText;
        if (!lines.Next(line) || !Contains(line, marker::kTextBegin) ||
            !ReadSection(lines, marker::kLfTextEnd, scratch, value))
            break;
        sample->SetText(std::move(value));

        failedAt = readpos::kEndOfSample;
        if (!lines.Next(line) || line != marker::kSampleEnd)
            break;
        failedAt = nullptr;
        out.push_back(std::move(sample));
        if (spans)
            spans->push_back(RecordSpan{recordStart, lines.Pos()});
        recordStart = lines.Pos();
    }
    end = lines.Pos();
    return failedAt;
}

// Below this many bytes a file is read on one thread: starting another costs more.
constexpr size_t kPieceBytes = size_t{1} << 20;

// A place after which a record may start: the first line at or after from that is the
// sample begin marker, or npos. It is only a guess (a sample's text may hold such a
// line); the reading of the piece before it checks it.
size_t GuessRecordStart(std::string_view data, size_t from) {
    static constexpr std::string_view kLfBegin = "\n>>>>SAMPLE_BEGIN>>>>>>>>>>>>>>>>>>>>>>>";
    static_assert(kLfBegin.substr(1) == marker::kSampleBegin);
    while (from < data.size()) {
        const size_t at = FindBytes(data, kLfBegin, from);
        if (at == std::string_view::npos)
            return at;
        const size_t after = at + kLfBegin.size();
        if (after < data.size() && (data[after] == '\n' || (data[after] == '\r' && after + 1 < data.size() &&
                                                            data[after + 1] == '\n')))
            return at + 1;
        from = after;
    }
    return std::string_view::npos;
}

struct Piece {
    size_t begin = 0;
    size_t stopAt = 0;
    std::vector<std::unique_ptr<CSample>> samples;
    std::vector<RecordSpan> spans;
    const char* failedAt = nullptr;
    size_t end = 0;
};

} // namespace

const char* ParseSamples(std::string_view data, std::vector<std::unique_ptr<CSample>>& out,
                         std::vector<RecordSpan>* spans, size_t threads) {
    // About one sample per kilobyte: room for most files at once.
    out.reserve(out.size() + data.size() / 1024 + 1);
    // Two pieces at least, so that the same path runs on a machine with one core.
    if (threads == 0)
        threads = std::min<size_t>(std::max(2u, std::thread::hardware_concurrency()), 8);
    const size_t parts = std::min(threads, data.size() / kPieceBytes);
    size_t end = 0;
    if (parts < 2)
        return ParseRange(data, 0, std::string_view::npos, out, spans, end);

    // A large file is read in pieces at once, each from a line that looks like the start
    // of a record. A piece counts only when the piece before it stopped exactly where it
    // starts, which makes the result the one a single pass gives; otherwise that stretch
    // is read again from where the piece before it stopped.
    std::vector<Piece> pieces;
    size_t from = 0;
    for (size_t k = 1; k < parts; ++k) {
        const size_t at = GuessRecordStart(data, std::max(from + 1, data.size() / parts * k));
        if (at == std::string_view::npos)
            break;
        pieces.push_back(Piece{from, at, {}, {}, nullptr, 0});
        from = at;
    }
    pieces.push_back(Piece{from, std::string_view::npos, {}, {}, nullptr, 0});
    auto read = [&data, spans](Piece& p) {
        p.failedAt = ParseRange(data, p.begin, p.stopAt, p.samples, spans ? &p.spans : nullptr, p.end);
    };
    std::vector<std::thread> helpers;
    for (size_t k = 1; k < pieces.size(); ++k)
        helpers.emplace_back(read, std::ref(pieces[k]));
    read(pieces[0]);
    for (std::thread& t : helpers)
        t.join();

    const char* failedAt = nullptr;
    for (size_t k = 0; k < pieces.size(); ++k) {
        Piece& p = pieces[k];
        if (k > 0 && end != p.begin) {
            // The piece began inside a record: read on from where the last piece stopped.
            p.samples.clear();
            p.spans.clear();
            p.begin = end;
            read(p);
        }
        for (auto& sample : p.samples)
            out.push_back(std::move(sample));
        if (spans)
            spans->insert(spans->end(), p.spans.begin(), p.spans.end());
        end = p.end;
        failedAt = p.failedAt;
        if (failedAt)
            break;
    }
    return failedAt;
}

std::string_view UnreadTail(std::string_view data, const std::vector<RecordSpan>& spans) {
    return data.substr(spans.empty() ? 0 : spans.back().end);
}

PieceParse ParseSamplesInPieces(const ReadMore& more, size_t piece, std::vector<std::unique_ptr<CSample>>& out,
                                std::vector<RecordSpan>& spans,
                                const std::function<void(size_t, std::string_view)>& record, std::string* tail) {
    PieceParse result;
    std::unique_ptr<char[]> buffer;
    size_t capacity = 0;
    size_t length = 0;       // bytes in the buffer
    size_t at = 0;           // where the next record starts in it
    std::uint64_t base = 0;  // the file offset of its first byte
    size_t want = piece;     // bytes to read at least, next
    bool ended = false;
    // Reads want bytes more behind the unparsed ones, which move to the front.
    auto readMore = [&]() {
        if (at > 0) {
            std::memmove(buffer.get(), buffer.get() + at, length - at);
            base += at;
            length -= at;
            at = 0;
        }
        if (capacity - length < want) {
            const size_t bigger = std::max(length + want, 2 * capacity);
            auto grown = std::make_unique_for_overwrite<char[]>(bigger);
            if (length > 0)
                std::memcpy(grown.get(), buffer.get(), length);
            buffer = std::move(grown);
            capacity = bigger;
        }
        // A read may give fewer bytes than asked for: it goes on until want bytes came.
        for (size_t came = 0; came < want && !ended;) {
            size_t got = 0;
            if (!more(buffer.get() + length, capacity - length, got))
                return false;
            ended = got == 0;
            came += got;
            length += got;
            result.bytes += got;
        }
        return true;
    };
    for (;;) {
        if (!ended && !readMore()) {
            result.readFailed = true;
            return result;
        }
        // Whole lines only, until the end of the file.
        size_t usable = length;
        if (!ended) {
            const void* lf = memrchr(buffer.get() + at, '\n', length - at);
            if (!lf) {
                want = std::max(piece, length - at); // a line longer than a piece
                continue;
            }
            usable = static_cast<size_t>(static_cast<const char*>(lf) - buffer.get()) + 1;
        }
        const std::string_view data(buffer.get(), usable);
        const size_t before = out.size();
        size_t stop = 0;
        const char* failedAt = ParseRange(data, at, std::string_view::npos, out, &spans, stop);
        for (size_t k = before; k < out.size(); ++k) {
            record(k, data.substr(spans[k].begin, spans[k].end - spans[k].begin));
            spans[k].begin += base;
            spans[k].end += base;
        }
        if (out.size() > before)
            at = static_cast<size_t>(spans.back().end - base);
        if (!failedAt) {
            at = stop;
            want = piece;
            if (ended)
                return result;
        } else if (!ended && stop == usable) {
            // The last record runs past the whole lines read so far: it is read again
            // with as much more as there is of it, so a long record is read again only a
            // few times.
            want = std::max(piece, length - at);
        } else {
            result.failedAt = failedAt;
            if (tail) {
                tail->assign(buffer.get() + at, length - at);
                for (size_t got = 0; !ended; tail->append(buffer.get(), got)) {
                    if (!more(buffer.get(), capacity, got)) {
                        result.readFailed = true;
                        return result;
                    }
                    ended = got == 0;
                    result.bytes += got;
                }
            }
            return result;
        }
    }
}
