#include "base/Messenger.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// Used where no window is present: prints the message and takes the first answer.
class StderrMessenger : public IMessenger {
public:
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (buttons == MsgButtons::YesNoDefaultNo)
            return MsgAnswer::No;
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
    }
};

StderrMessenger g_stderrMessenger;
IMessenger* g_messenger = &g_stderrMessenger;
thread_local IMessenger* t_messenger = nullptr;

} // namespace

IMessenger& Messenger() { return t_messenger ? *t_messenger : *g_messenger; }

void SetMessenger(IMessenger* messenger) { g_messenger = messenger ? messenger : &g_stderrMessenger; }

void SetThreadMessenger(IMessenger* messenger) { t_messenger = messenger; }

MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    return Messenger().Show(text, buttons, icon);
}

std::string StrFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    va_end(args);
    return out;
}
