#include "ui/StepProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

CStepProgress::CStepProgress(QWidget* parent, const QString& label, const char* objectName)
    : m_parent(parent), m_label(label), m_objectName(objectName) {}

CStepProgress::~CStepProgress() { delete m_dialog; }

bool CStepProgress::Step(size_t done, size_t total) {
    if (m_cancelled)
        return false;
    if (total < kShowFrom)
        return true;
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_label, QObject::tr("Cancel"), 0, 100, m_parent);
        m_dialog->setObjectName(QString::fromLatin1(m_objectName));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        // Shown by the dialog itself, once (its first value starts it): one hidden later
        // stays hidden.
        m_dialog->setMinimumDuration(0);
    }
    const int hundredth = static_cast<int>(done * 100 / total);
    if (hundredth != m_lastHundredth) {
        m_lastHundredth = hundredth;
        m_dialog->setLabelText(QStringLiteral("%1 (%2 of %3)").arg(m_label).arg(done).arg(total));
        m_dialog->setValue(hundredth);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    m_cancelled = m_dialog->wasCanceled();
    return !m_cancelled;
}
