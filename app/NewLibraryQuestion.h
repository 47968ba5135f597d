// The window's question before it makes a library in a folder that holds none (a folder
// named on the command line, the one the program was started in, one chosen with File >
// Library Folder...), so that a folder chosen by mistake stays as it was.
#pragma once

#include <string>

class QWidget;

// The folder to open: folder itself when it holds a library or the user agrees to make
// one there ("Make a new library in FOLDER?", No by default); after No, another folder
// the user chooses, asked about the same way; "" when the user chooses none.
std::string FolderForLibrary(std::string folder, QWidget* parent);
