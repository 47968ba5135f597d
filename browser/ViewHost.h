// What the view needs of the program around it; the application provides it.
#pragma once

#include "tools/AddSampleWizard.h"

class IViewHost {
public:
    virtual ~IViewHost() = default;

    // The Options dialog; on OK the two options take its settings.
    virtual void RunOptions() = 0;
    // Library Help: the program's guide.
    virtual void ShowLibraryHelp() = 0;
    // What the Add Sample wizard keeps between runs: its confirmation chunks, and text
    // dropped on the window that waits for the wizard's text page.
    virtual WizardCarryOver WizardState() = 0;
    // Dispatches every waiting event once: long work on the window thread keeps the
    // window alive with it.
    virtual void PumpPendingMessages() = 0;
};
