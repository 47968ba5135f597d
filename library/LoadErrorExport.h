// Writing the load-error store to a text file that the user names, by default
// loaderr.txt, chosen in the Save As dialog the window shows behind ISaveAsChooser.
#pragma once

#include <string>

#include "library/DocMessages.h"

class CLoadErrorList;

class ISaveAsChooser {
public:
    virtual ~ISaveAsChooser() = default;
    // Offers proposedName ("loaderr.txt", extension ".txt", asks before overwriting).
    // False when the user cancelled; otherwise path is the chosen full path.
    virtual bool ChoosePath(const std::string& proposedName, std::string& path) = 0;
};

constexpr const char* kLoadErrorExportName = "loaderr.txt";

// Writes every record of the store. True when the store is empty or the file was
// written (also when closing it failed); false when the choice was cancelled or the
// file could not be created. Failures are told to messages with their cause texts; a record
// whose write fails is left incomplete and the export goes on with the next one.
bool ExportLoadErrors(CLoadErrorList& errors, ISaveAsChooser& chooser, CDocMessages& messages);

// Text-mode translation of the export file: every LF becomes CR LF, a CR stays.
std::string ToTextMode(const std::string& text);
