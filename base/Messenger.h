// The one channel through which the library shows a message to the user.
// The window installs a messenger that opens a message box; the command-line
// tool prints to standard error; tests record the messages and script answers.
#pragma once

#include <string>

// YesNoDefaultNo: Yes and No with No as the default answer, for questions whose Yes
// cannot be undone.
enum class MsgButtons { Ok, YesNo, YesNoCancel, OkCancel, YesNoDefaultNo };
enum class MsgIcon { None, Stop, Exclamation, Question, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class IMessenger {
public:
    virtual ~IMessenger() = default;
    virtual MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) = 0;
};

// The messenger in use; by default one that writes to standard error and answers
// Ok/Yes. Passing nullptr restores that default. The caller keeps ownership.
IMessenger& Messenger();
void SetMessenger(IMessenger* messenger);
// A messenger for the calling thread alone (work done away from the window thread keeps
// its messages to show them there later); nullptr goes back to the one above.
void SetThreadMessenger(IMessenger* messenger);

// Shorthand for Messenger().Show(...).
MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None);

// printf-style formatting into a std::string (only %s, %d, %u and %% are used by callers).
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
