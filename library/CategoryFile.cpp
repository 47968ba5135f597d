// The category file operations of CCategory: open, read, write (crash-safe), close
// and delete.
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "library/Category.h"
#include "library/CategoryFormat.h"
#include "library/CategoryReader.h"
#include "library/CategoryWriter.h"
#include "library/ContentCheck.h"
#include "base/Messenger.h"

namespace {

void TellMissingFileName(CDocMessages& messages, const std::string& category) {
    messages.Tell("Unable to open file associated with category " + category +
                ".\nReason: File name is missing.\n" +
                "Probable cause: Tindrel could not read file name from Registry key.");
}

} // namespace

void CCategory::TellFileError(const char* format, int cause) const {
    Messages().Tell(StrFormat(format, m_fileName.c_str(), fileio::CauseText(cause)));
}

bool CCategory::OpenFile() {
    return OpenCategoryFile(true);
}

bool CCategory::OpenFileForRead() {
    return OpenCategoryFile(false);
}

bool CCategory::OpenCategoryFile(bool exclusive) {
    if (m_fileName.empty()) {
        TellMissingFileName(Messages(), m_name);
        return false;
    }
    if (m_file && m_file->IsOpen())
        return true;
    m_pending = std::string();
    m_saving = false;
    m_saveFailed = false;
    auto file = std::make_unique<fileio::File>();
    int cause = fileio::kNone;
    bool opened = exclusive ? file->OpenExclusive(GetFilePath(), cause) : file->OpenForRead(GetFilePath(), cause);
    if (!opened) {
        TellFileError(filemsg::kOpen, cause);
        // A file that could not even be opened before it was ever read may hold
        // samples the library does not know.
        if (exclusive && !m_readAttempted && fileio::FileExists(GetFilePath()))
            m_unreadOnDisk = true;
        return false;
    }
    m_file = std::move(file);
    return true;
}

bool CCategory::ReadSampleList(std::vector<std::unique_ptr<CSample>>& out, fileio::ReadBuffer* buffer,
                               std::vector<RecordSpan>* spans) {
    fileio::ReadBuffer ownBuffer;
    if (!buffer)
        buffer = &ownBuffer;
    if (!BeginReadBytes() || !ReadBytes(*buffer))
        return false;
    return TakeParse(ParseSamples(buffer->View(), out, spans));
}

bool CCategory::BeginReadBytes() {
    m_readAttempted = true;
    m_readIncomplete = false;
    m_readStoppedInSequence = false;
    int cause = fileio::kNone;
    if (!m_file || !m_file->IsOpen()) {
        TellFileError(filemsg::kRead, fileio::kInvalidFile);
        m_readIncomplete = m_unreadOnDisk = fileio::FileExists(GetFilePath());
        return false;
    }
    // Taken before the bytes are read: a change while they are read makes it stale, and
    // the next save then looks at the file again.
    if (!m_file->Stamp(m_stamp, cause)) {
        TellFileError(filemsg::kRead, cause);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    if (m_stamp.size == 0) {
        m_unreadOnDisk = false;
        return false;
    }
    if (!m_file->CheckRead(cause)) {
        TellFileError(filemsg::kRead, cause);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    return true;
}

bool CCategory::ReadBytes(fileio::ReadBuffer& buffer) {
    int cause = fileio::kNone;
    if (!m_file->ReadChecked(buffer, cause)) {
        TellFileError(filemsg::kRead, cause);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    if (buffer.View().empty()) {
        m_unreadOnDisk = false;
        return false;
    }
    return true;
}

bool CCategory::ReadMoreBytes(char* into, size_t room, size_t& got, bool first) {
    int cause = fileio::kNone;
    if (!m_file->ReadOn(into, room, got, cause)) {
        TellFileError(filemsg::kRead, cause);
        m_readIncomplete = m_unreadOnDisk = true;
        return false;
    }
    if (first && got == 0)
        m_unreadOnDisk = false;
    return true;
}

bool CCategory::TakeParse(const char* failedAt) {
    if (failedAt) {
        Messages().Tell(StrFormat(filemsg::kSequence, failedAt, m_fileName.c_str()), MsgIcon::Stop);
        m_readIncomplete = m_unreadOnDisk = m_readStoppedInSequence = true;
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
        TellFileError(filemsg::kRead, cause);
        m_saveFailed = true;
        return false;
    }
    // A last line without its line end would run into the first marker appended.
    if (!m_pending.empty() && m_pending.back() != '\n')
        m_pending += "\r\n";
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
    if (!AppendSampleBytes(m_pending, sample)) {
        m_pending.resize(before);
        Messages().Tell("The sample \"" + sample.GetTitle() + "\" cannot be written to file " + m_fileName +
                        ".\n" + CheckSampleStorable(sample) + "\nThe file keeps its old content.", MsgIcon::Exclamation);
        m_saveFailed = true;
        return false;
    }
    return true;
}

bool CCategory::WriteRecordBytes(std::string_view record, bool last) {
    if (!m_saving && !StartFromCurrentContent())
        return false;
    if (m_saveFailed)
        return false;
    m_pending.append(record);
    // The last record of a file may have ended without its line end.
    if (!last && !record.empty() && record.back() != '\n')
        m_pending += "\r\n";
    return true;
}

bool CCategory::BackUpUnreadFile(bool deleting) {
    // The bytes on disk now, read through the locked handle when there is one.
    std::string original;
    int cause = fileio::kNone;
    bool read = false;
    if (m_file && m_file->IsOpen()) {
        read = m_file->ReadAll(original, cause);
    } else if (!fileio::FileExists(GetFilePath())) {
        return true;
    } else {
        fileio::File in;
        read = in.OpenForRead(GetFilePath(), cause) && in.ReadAll(original, cause);
    }
    if (read && original.empty())
        return true; // nothing to lose
    if (read && !m_backupPath.empty() && fileio::FileExists(fileio::PathIn(m_folder, m_backupPath)))
        return true; // made at an earlier, failed attempt; the file is unchanged since

    std::string backup;
    if (read) {
        for (int n = 1; n <= 1000 && backup.empty(); ++n) {
            std::string candidate = m_fileName + (n == 1 ? std::string(".bak") : ".bak" + std::to_string(n));
            if (!fileio::FileExists(fileio::PathIn(m_folder, candidate)))
                backup = candidate;
        }
        if (backup.empty())
            cause = fileio::kDirectoryFull;
        else
            read = fileio::WriteFileAtomically(fileio::PathIn(m_folder, backup), original, cause);
    }
    if (!read || backup.empty()) {
        Messages().Tell("The file " + m_fileName +
                        " holds samples that are not in the library, and no backup copy of it could be made" +
                        (backup.empty() ? std::string() : " as " + backup) +
                        ".\nReason: " + fileio::CauseText(cause) + " \nThe file has not been changed.", MsgIcon::Exclamation);
        return false;
    }
    m_backupPath = backup;
    Messages().Tell("The file " + m_fileName + " holds samples that could not be read into the library.\n" +
                    "Before it is " + (deleting ? "deleted" : "rewritten") +
                    ", the original has been kept as " + backup + ".", MsgIcon::Information);
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
            bool inPlace = false;
            if (fileio::WriteFileAtomically(GetFilePath(), m_pending, cause, &inPlace)) {
                ok = true;
            } else if (inPlace) {
                // Only the folder could not be synced: the new content is in place and
                // nothing is lost while the system runs, but it may not outlive a crash.
                ok = true;
                Messages().Tell(StrFormat("The file %s has been written, but the folder holding it could not be "
                                      "flushed to disk.\nReason: %s \nAfter a power failure the file may "
                                      "still hold its old content.",
                                      m_fileName.c_str(), fileio::CauseText(cause)), MsgIcon::Exclamation);
            } else {
                TellFileError(filemsg::kWrite, cause);
            }
            if (ok) {
                m_readAttempted = true;
                m_unreadOnDisk = false;
                m_readIncomplete = false;
                m_stamp = fileio::StampOf(GetFilePath());
            }
        }
        m_saveFailed = false;
        m_pending = std::string();
    }
    if (m_file && m_file->IsOpen()) {
        int cause = fileio::kNone;
        if (!m_file->Close(cause)) {
            TellFileError(filemsg::kClose, cause);
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
    if (m_unreadOnDisk && fileio::FileExists(GetFilePath())) {
        // Samples the library never showed are not thrown away with the category.
        if (!BackUpUnreadFile(true))
            return;
        m_unreadOnDisk = false;
    }
    if (!fileio::RemoveFile(GetFilePath(), cause))
        TellFileError(filemsg::kDelete, cause);
}
