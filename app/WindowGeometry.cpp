#include "app/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "app/MainFrame.h"
#include "browser/QuorrinView.h"

namespace {

constexpr int kFirstWidth = 1000;
constexpr int kFirstHeight = 700;

// The free area of the screen holding point, or of the primary screen.
QRect AvailableAt(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, kFirstWidth, kFirstHeight);
}

// The first size: 1000 x 700, or nine tenths of the free area, centred in it.
QRect FirstGeometry(const QRect& available) {
    const int width = std::min(kFirstWidth, available.width() * 9 / 10);
    const int height = std::min(kFirstHeight, available.height() * 9 / 10);
    return QRect(available.x() + (available.width() - width) / 2, available.y() + (available.height() - height) / 2,
                 width, height);
}

} // namespace

void RestoreWindow(CMainFrame& frame, const WindowSettings& s) {
    QRect wanted;
    if (s.hasGeometry) {
        const QRect kept(s.left, s.top, s.width, s.height);
        const QRect available = AvailableAt(kept.center());
        // Kept only while a good part of it is on a screen; never larger than the screen.
        const QRect visible = kept.intersected(available);
        if (visible.width() >= std::min(kept.width(), 200) && visible.height() >= std::min(kept.height(), 100)) {
            wanted = QRect(kept.topLeft(), kept.size().boundedTo(available.size()));
            if (!available.contains(wanted))
                wanted.moveTo(std::clamp(wanted.x(), available.left(), available.right() - wanted.width() + 1),
                              std::clamp(wanted.y(), available.top(), available.bottom() - wanted.height() + 1));
        }
    }
    if (wanted.isNull())
        wanted = FirstGeometry(AvailableAt(QPoint(0, 0)));
    frame.resize(wanted.size());
    frame.move(wanted.topLeft());
    if (s.maximized)
        frame.setWindowState(frame.windowState() | Qt::WindowMaximized);

    CQuorrinView::Layout layout;
    layout.treeSplit = QList<int>(s.treeSplit.begin(), s.treeSplit.end());
    layout.textSplit = QList<int>(s.textSplit.begin(), s.textSplit.end());
    layout.zoom = s.zoom;
    layout.whitespace = s.whitespace;
    layout.findInText = s.findInText;
    frame.ApplyViewLayout(layout);
}

WindowSettings CaptureWindow(const CMainFrame& frame) {
    WindowSettings s;
    s.maximized = frame.isMaximized();
    const QRect normal = s.maximized ? frame.normalGeometry() : QRect(frame.pos(), frame.size());
    if (normal.isValid()) {
        s.hasGeometry = true;
        s.left = normal.x();
        s.top = normal.y();
        s.width = normal.width();
        s.height = normal.height();
    }
    const CQuorrinView::Layout layout = frame.View()->CurrentLayout();
    s.treeSplit.assign(layout.treeSplit.begin(), layout.treeSplit.end());
    s.textSplit.assign(layout.textSplit.begin(), layout.textSplit.end());
    s.zoom = layout.zoom;
    s.whitespace = layout.whitespace;
    s.findInText = layout.findInText;
    return s;
}
