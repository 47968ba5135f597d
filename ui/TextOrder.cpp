#include "ui/TextOrder.h"

#include <algorithm>

namespace {

// QString::compare with Qt::CaseInsensitive, plain ASCII compared in place: the
// comparison that needs no folded copies.
int CompareFolded(const QString& a, const QString& b) {
    const QChar* p = a.constData();
    const QChar* q = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = p[i].unicode();
        char16_t y = q[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return a.compare(b, Qt::CaseInsensitive);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char16_t>(x + ('a' - 'A'));
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char16_t>(y + ('a' - 'A'));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

bool TextLess(const QString& a, const QString& b) {
    const int c = CompareFolded(a, b);
    if (c != 0)
        return c < 0;
    return a < b;
}
