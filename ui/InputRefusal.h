// The name dialogs and the wizard show a refused input as a message box with an OK
// button.
#pragma once

#include "library/EditRules.h"

// Shows the refusal, if any; returns check.Ok().
bool ShowRefusal(const InputCheck& check);
