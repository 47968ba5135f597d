#include "library/DocMessages.h"

#include <utility>

void CDocMessages::Tell(std::string text, MsgIcon icon) {
    DocMessage message{std::move(text), icon};
    if (m_sink)
        m_sink->OnDocumentMessage(message);
    else
        m_kept.push_back(std::move(message));
}

std::vector<DocMessage> CDocMessages::Take() {
    std::vector<DocMessage> kept;
    kept.swap(m_kept);
    return kept;
}
