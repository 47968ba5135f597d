#include "ui/InputRefusal.h"

#include "base/Messenger.h"

bool ShowRefusal(const InputCheck& check) {
    if (!check.Ok())
        ShowMessage(check.text, MsgButtons::Ok, check.icon);
    return check.Ok();
}
