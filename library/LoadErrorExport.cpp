#include "library/LoadErrorExport.h"

#include "base/FileLayer.h"
#include "library/CategoryFormat.h"
#include "library/LoadErrorList.h"
#include "base/Messenger.h"

std::string ToTextMode(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

namespace {

const char* const kHeader = "// This file contains the data from unsaved samples that could not\n"
                            "// be loaded into the Quorrin tree.\n"
                            "// You will need to manually add these samples into your library.\n";
const char* const kRule = "\n*********************************\n";

// Writes one record piece by piece; false at the first failed write (already shown).
bool WriteRecord(fileio::File& file, const std::string& path, const CSample& sample, bool withHeader,
                 CDocMessages& messages) {
    auto put = [&](const std::string& piece) {
        int cause = fileio::kNone;
        if (file.Write(ToTextMode(piece), cause))
            return true;
        messages.Tell(
            StrFormat(filemsg::kWrite, path.c_str(), fileio::CauseText(cause)));
        return false;
    };
    if (withHeader && !(put(kHeader) && put(kRule)))
        return false;
    return put("Category: " + sample.GetCategory()) && put("\nSub-category: " + sample.GetSubcategory()) &&
           put("\nTitle: " + sample.GetTitle()) && put("\n\nKeywords: \n") &&
           put(sample.GetKeywords() + "\n") && put("\nComments:\n") && put(sample.GetComments() + "\n") &&
           put("Text:\n") && put(sample.GetText() + "\n") && put(kRule);
}

} // namespace

bool ExportLoadErrors(CLoadErrorList& errors, ISaveAsChooser& chooser, CDocMessages& messages) {
    if (errors.GetCount() == 0)
        return true;
    std::string path;
    if (!chooser.ChoosePath(kLoadErrorExportName, path))
        return false;
    errors.ExportPath() = path;

    fileio::File file;
    int cause = fileio::kNone;
    if (!file.OpenForWrite(path, cause)) {
        messages.Tell(
            StrFormat(filemsg::kOpen, path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    CLoadErrorList::Cursor cursor;
    CSample sample;
    for (bool more = errors.GetFirst(sample, cursor); more; more = errors.GetNext(sample, cursor)) {
        if (WriteRecord(file, path, sample, errors.RecordsWritten() == 0, messages))
            ++errors.RecordsWritten();
    }
    cause = fileio::kNone;
    if (!file.Close(cause))
        messages.Tell(StrFormat(filemsg::kClose, path.c_str(), fileio::CauseText(cause)));
    return true;
}
