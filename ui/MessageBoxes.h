// The window program's messenger: every ShowMessage of the library and of the window
// becomes a modal message box. The program installs it with SetMessenger at start-up.
#pragma once

#include "base/Messenger.h"

class QWidget;

class CMessageBoxes : public IMessenger {
public:
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;

    // The window the boxes belong to (the main frame while it exists).
    static void SetParentWindow(QWidget* parent);

    static constexpr const char* kCaption = "Tindrel";
};
