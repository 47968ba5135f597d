// What the library has to tell the user. The library never shows anything itself: it
// hands each message to the sink its owner attached (the window opens a message box, the
// command-line tool prints to standard error, tests record them) or, while none is
// attached, keeps them until the owner takes them (the window's background load).
#pragma once

#include <string>
#include <vector>

#include "base/Messenger.h"

struct DocMessage {
    std::string text;
    MsgIcon icon = MsgIcon::None;
};

class IDocMessageSink {
public:
    virtual ~IDocMessageSink() = default;
    virtual void OnDocumentMessage(const DocMessage& message) = 0;
};

class CDocMessages {
public:
    void Tell(std::string text, MsgIcon icon = MsgIcon::None);
    // Messages kept while no sink was attached, oldest first; forgotten here.
    std::vector<DocMessage> Take();
    void SetSink(IDocMessageSink* sink) { m_sink = sink; }

private:
    IDocMessageSink* m_sink = nullptr;
    std::vector<DocMessage> m_kept;
};
