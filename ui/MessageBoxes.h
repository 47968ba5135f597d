// The one message box of the window program. It is the library's messenger, so every
// ShowMessage of the library and of the window ends here. Tests hand it a script
// (any IMessenger) and then no box is shown.
#pragma once

#include "base/Messenger.h"

class QWidget;

class CMessageBoxes : public IMessenger {
public:
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;

    // While a script is set, every message goes to it instead of a box.
    static void SetScript(IMessenger* script);
    static IMessenger* Script();
    // The window the boxes belong to (the main frame while it exists).
    static void SetParentWindow(QWidget* parent);

    static constexpr const char* kCaption = "Tindrel";
};
