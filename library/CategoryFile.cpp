// The category file operations of CCategory: open, read, write (crash-safe), close
// and delete.
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "library/Category.h"
#include "library/CategoryFormat.h"
#include "library/ContentCheck.h"
#include "library/LineScan.h"
#include "library/LoadErrorList.h"
#include "base/Messenger.h"

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

// Appends value with every LF written as CR LF. Returns whether the reader gets the
// value back: a one-line field (no end marker given) must hold no LF; in a section, no
// piece after an LF may be exactly its end marker (the reader would end the section
// there; the first line is always taken as content).
bool AppendTranslated(std::string& out, std::string_view value, std::string_view endMarker = {}) {
    linescan::LfFinder lfs(value);
    size_t lf = lfs.Next();
    if (lf == value.size()) {
        out.append(value);
        return true;
    }
    if (endMarker.empty()) {
        out.append(value); // refused; what is appended does not matter
        return false;
    }
    // Each LF grows by one byte, so twice the value always fits; the rest is cut off.
    const size_t start = out.size();
    out.resize(start + 2 * value.size() + linescan::kCopySlack);
    char* const base = out.data() + start;
    char* o = base;
    const char* const stop = value.data() + value.size();
    bool storable = true;
    size_t from = 0;
    while (lf < value.size()) {
        linescan::CopyLine(o, value.data() + from, lf - from, stop);
        o += lf - from;
        *o++ = '\r';
        *o++ = '\n';
        from = lf + 1;
        lf = lfs.Next();
        // The piece from here to the next LF (or the end) must not be the end marker.
        if (lf - from == endMarker.size() && std::memcmp(value.data() + from, endMarker.data(), endMarker.size()) == 0)
            storable = false;
    }
    std::memcpy(o, value.data() + from, value.size() - from);
    o += value.size() - from;
    out.resize(start + static_cast<size_t>(o - base));
    return storable;
}

void AppendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

// Serialises one sample; false when the file could not give it back as it is (see
// AppendTranslated), which is exactly when CheckSampleStorable finds a problem.
bool AppendSample(std::string& out, const CSample& sample) {
    bool storable = true;
    AppendLine(out, marker::kSampleBegin);
    out.append(marker::kCategory);
    storable &= AppendTranslated(out, sample.GetCategory());
    out.append("\r\n");
    out.append(marker::kSubcategory);
    storable &= AppendTranslated(out, sample.GetSubcategory());
    out.append("\r\n");
    out.append(marker::kTitle);
    storable &= AppendTranslated(out, sample.GetTitle());
    out.append("\r\n");
    AppendLine(out, marker::kKeywordsBegin);
    // The keywords joined with ", " (GetKeywords), without building the joined string.
    for (size_t i = 0; i < sample.GetKeywordCount(); ++i) {
        if (i > 0)
            out.append(", ");
        storable &= AppendTranslated(out, sample.GetKeyword(i));
    }
    out.append("\r\n");
    AppendLine(out, marker::kKeywordsEnd);
    AppendLine(out, marker::kCommentsBegin);
    storable &= AppendTranslated(out, sample.GetComments(), marker::kCommentsEnd);
    out.append("\r\n");
    AppendLine(out, marker::kCommentsEnd);
    AppendLine(out, marker::kTextBegin);
    storable &= AppendTranslated(out, sample.GetText(), marker::kTextEnd);
    out.append("\r\n");
    AppendLine(out, marker::kTextEnd);
    AppendLine(out, marker::kSampleEnd);
    return storable;
}

} // namespace

void AppendSampleBytes(std::string& out, const CSample& sample) {
    AppendSample(out, sample);
}

namespace {

void ShowMissingFileName(const std::string& category) {
    ShowMessage("Unable to open file associated with category " + category +
                ".\nReason: File name is missing.\n" +
                "Probable cause: Tindrel could not read file name from Registry key.");
}

} // namespace

void CCategory::ShowFileError(const char* format, int cause) const {
    ShowMessage(StrFormat(format, m_fileName.c_str(), fileio::CauseText(cause)));
}

bool CCategory::OpenFile() {
    return OpenCategoryFile(true);
}

bool CCategory::OpenFileForRead() {
    return OpenCategoryFile(false);
}

bool CCategory::OpenCategoryFile(bool exclusive) {
    if (m_fileName.empty()) {
        ShowMissingFileName(m_name);
        return false;
    }
    if (m_file && m_file->IsOpen())
        return true;
    m_pending = std::string();
    m_saving = false;
    m_saveFailed = false;
    auto file = std::make_unique<fileio::File>();
    int cause = fileio::kNone;
    bool opened = exclusive ? file->OpenExclusive(m_fileName, cause) : file->OpenForRead(m_fileName, cause);
    if (!opened) {
        ShowFileError(filemsg::kOpen, cause);
        // A file that could not even be opened before it was ever read may hold
        // samples the library does not know.
        if (exclusive && !m_readAttempted && fileio::FileExists(m_fileName))
            m_unreadOnDisk = true;
        return false;
    }
    m_file = std::move(file);
    return true;
}

bool CCategory::ReadSamples(SampleMap& map, CLoadErrorList& errors) {
    std::vector<std::unique_ptr<CSample>> list;
    const bool complete = ReadSampleList(list);
    for (auto& sample : list) {
        auto at = map.lower_bound(sample->GetTitle());
        if (at != map.end() && at->first == sample->GetTitle()) {
            // The first sample read under a title wins.
            sample->SetLoadErrorReason(kReasonDuplicate);
            errors.Add(*sample);
        } else {
            std::string title = sample->GetTitle();
            map.emplace_hint(at, std::move(title), std::move(sample));
        }
    }
    return complete;
}

bool CCategory::ReadSampleList(std::vector<std::unique_ptr<CSample>>& out, fileio::ReadBuffer* buffer) {
    m_readAttempted = true;
    m_readIncomplete = false;
    int cause = fileio::kNone;
    std::uint64_t size = 0;
    if (!m_file || !m_file->IsOpen()) {
        ShowFileError(filemsg::kRead, fileio::kInvalidFile);
        m_readIncomplete = m_unreadOnDisk = fileio::FileExists(m_fileName);
        return false;
    }
    if (!m_file->Size(size, cause)) {
        ShowFileError(filemsg::kRead, cause);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    if (size == 0) {
        m_unreadOnDisk = false;
        return false;
    }
    fileio::ReadBuffer ownBuffer;
    if (!buffer)
        buffer = &ownBuffer;
    if (!m_file->ReadAll(*buffer, cause)) {
        ShowFileError(filemsg::kRead, cause);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    const std::string_view data = buffer->View();
    if (data.empty()) {
        m_unreadOnDisk = false;
        return false;
    }
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
    }
    if (failedAt) {
        ShowMessage(StrFormat(filemsg::kSequence, failedAt, m_fileName.c_str()), MsgButtons::Ok,
                    MsgIcon::Stop);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    m_unreadOnDisk = false;
    return true;
}

void CCategory::EmptyFile() {
    m_pending = std::string();
    // The new content is mostly about as long as the old: room for it from the start.
    std::uint64_t size = 0;
    int cause = fileio::kNone;
    if (m_file && m_file->IsOpen() && m_file->Size(size, cause))
        m_pending.reserve(static_cast<size_t>(size + size / 16));
    m_saving = true;
    m_saveFailed = false;
}

bool CCategory::StartFromCurrentContent() {
    // Appending without EmptyFile keeps what the file holds now.
    m_saving = true;
    m_saveFailed = false;
    m_pending.clear();
    if (!m_file || !m_file->IsOpen())
        return true;
    int cause = fileio::kNone;
    if (!m_file->ReadAll(m_pending, cause)) {
        ShowFileError(filemsg::kRead, cause);
        m_saveFailed = true;
        return false;
    }
    return true;
}

bool CCategory::WriteSample(const CSample& sample) {
    if (!m_saving && !StartFromCurrentContent())
        return false;
    if (m_saveFailed)
        return false;
    // The sample is checked as it is written; a refused one is cut off again and the
    // content check names the problem.
    const size_t before = m_pending.size();
    if (!AppendSample(m_pending, sample)) {
        m_pending.resize(before);
        ShowMessage("The sample \"" + sample.GetTitle() + "\" cannot be written to file " + m_fileName +
                        ".\n" + CheckSampleStorable(sample) + "\nThe file keeps its old content.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        m_saveFailed = true;
        return false;
    }
    return true;
}

bool CCategory::BackUpUnreadFile(bool deleting) {
    // The bytes on disk now, read through the locked handle when there is one.
    std::string original;
    int cause = fileio::kNone;
    bool read = false;
    if (m_file && m_file->IsOpen()) {
        read = m_file->ReadAll(original, cause);
    } else if (!fileio::FileExists(m_fileName)) {
        return true;
    } else {
        fileio::File in;
        read = in.OpenForRead(m_fileName, cause) && in.ReadAll(original, cause);
    }
    if (read && original.empty())
        return true; // nothing to lose
    if (read && !m_backupPath.empty() && fileio::FileExists(m_backupPath))
        return true; // made at an earlier, failed attempt; the file is unchanged since

    std::string backup;
    if (read) {
        for (int n = 1; n <= 1000 && backup.empty(); ++n) {
            std::string candidate = m_fileName + (n == 1 ? std::string(".bak") : ".bak" + std::to_string(n));
            if (!fileio::FileExists(candidate))
                backup = candidate;
        }
        if (backup.empty())
            cause = fileio::kDirectoryFull;
        else
            read = fileio::WriteFileAtomically(backup, original, cause);
    }
    if (!read || backup.empty()) {
        ShowMessage("The file " + m_fileName +
                        " holds samples that are not in the library, and no backup copy of it could be made" +
                        (backup.empty() ? std::string() : " as " + backup) +
                        ".\nReason: " + fileio::CauseText(cause) + " \nThe file has not been changed.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    m_backupPath = backup;
    ShowMessage("The file " + m_fileName + " holds samples that could not be read into the library.\n" +
                    "Before it is " + (deleting ? "deleted" : "rewritten") +
                    ", the original has been kept as " + backup + ".",
                MsgButtons::Ok, MsgIcon::Information);
    return true;
}

bool CCategory::CloseFile() {
    bool ok = true;
    const bool saved = m_saving;
    if (m_saving) {
        m_saving = false;
        ok = false;
        if (!m_saveFailed && (!m_unreadOnDisk || BackUpUnreadFile(false))) {
            int cause = fileio::kNone;
            if (fileio::WriteFileAtomically(m_fileName, m_pending, cause)) {
                ok = true;
                m_readAttempted = true;
                m_unreadOnDisk = false;
                m_readIncomplete = false;
            } else {
                ShowFileError(filemsg::kWrite, cause);
            }
        }
        m_saveFailed = false;
        m_pending = std::string();
    }
    if (m_file && m_file->IsOpen()) {
        int cause = fileio::kNone;
        if (!m_file->Close(cause)) {
            ShowFileError(filemsg::kClose, cause);
            // After a save the result says whether the new content is in place; the
            // old handle does not change that.
            if (!saved)
                ok = false;
        }
    }
    m_file.reset();
    return ok;
}

void CCategory::DeleteFile() {
    if (m_file && m_file->IsOpen()) {
        int ignored = 0;
        m_file->Close(ignored);
    }
    m_file.reset();
    m_saving = false;
    m_pending = std::string();
    int cause = fileio::kNone;
    if (m_unreadOnDisk && fileio::FileExists(m_fileName)) {
        // Samples the library never showed are not thrown away with the category.
        if (!BackUpUnreadFile(true))
            return;
        m_unreadOnDisk = false;
    }
    if (!fileio::RemoveFile(m_fileName, cause))
        ShowFileError(filemsg::kDelete, cause);
}
