// What every room of the view works on: the document (until it goes), the tree state
// and options of the library configuration, the host, and the view itself, whose
// window the dialogs belong to.
#pragma once

class CLibraryConfig;
class CQuorrinDoc;
class IViewHost;
class QWidget;

struct ViewContext {
    // nullptr once the document has gone: nothing may reach it then.
    CQuorrinDoc* doc;
    CLibraryConfig& config;
    IViewHost& host;
    QWidget* view;
    // The library is only shown (another window has it open): nothing changes it here.
    bool readOnly = false;
};
