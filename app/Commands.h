// Command ids of the main window (the menu, accelerator and toolbar entries share them).
#pragma once

namespace cmd {
constexpr int kFileNew = 57600;
constexpr int kFileOpen = 57601;
constexpr int kFileSave = 57603;
constexpr int kLibraryFolder = 32800;
constexpr int kFindSamples = 32801;
constexpr int kShowWhiteSpace = 32802;
constexpr int kFileImport = 32810;
constexpr int kFileExport = 32811;
constexpr int kSyncNow = 32812;
constexpr int kTrash = 32813;
constexpr int kFilePrint = 57607;
constexpr int kFilePrintPreview = 57609;
constexpr int kAppExit = 57665;
constexpr int kEditUndo = 57643;
constexpr int kEditCut = 57635;
constexpr int kEditCopy = 57634;
constexpr int kEditPaste = 57637;
constexpr int kCopySampleToClipboard = 32787;
constexpr int kViewToolbar = 59392;
constexpr int kViewStatusBar = 59393;
constexpr int kExpandAll = 32789;
constexpr int kCollapseAll = 32790;
constexpr int kSearch = 32775;
constexpr int kInsert = 32783;
constexpr int kDelete = 32784;
constexpr int kChangeTitle = 32788;
constexpr int kRestoreDefaults = 32786;
constexpr int kCorrectLoadErrors = 32793;
constexpr int kOptions = 32782;
constexpr int kLibraryHelp = 32781;
constexpr int kLibraryInfo = 32780;
constexpr int kAppAbout = 57664;
} // namespace cmd

