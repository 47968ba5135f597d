// Progress with Cancel for long work done in steps on the window's thread (an import's
// reading, an export's writing): a modal bar that keeps the window painting and
// answering between the steps. Work of few steps shows nothing.
#pragma once

#include <QString>
#include <cstddef>

class QProgressDialog;
class QWidget;

class CStepProgress {
public:
    // objectName names the dialog for tests.
    CStepProgress(QWidget* parent, const QString& label, const char* objectName);
    ~CStepProgress();
    CStepProgress(const CStepProgress&) = delete;
    CStepProgress& operator=(const CStepProgress&) = delete;

    // Before step done of total: the bar moves, and each time it has moved by a hundredth
    // pending events run (Cancel among them). False once Cancel has been pressed.
    bool Step(size_t done, size_t total);
    bool Cancelled() const { return m_cancelled; }

    // Work of fewer steps than this shows no dialog.
    static constexpr size_t kShowFrom = 50;

private:
    QWidget* m_parent;
    QString m_label;
    const char* m_objectName;
    QProgressDialog* m_dialog = nullptr;
    int m_lastHundredth = -1;
    bool m_cancelled = false;
};
