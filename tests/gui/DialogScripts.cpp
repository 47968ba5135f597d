#include "DialogScripts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <deque>

namespace {

std::deque<ModalScript> g_scripts;
std::vector<DialogScripts*> g_logs;
const char* const kTaken = "dialogScriptTaken";

void RunOn(QDialog* dialog, ModalScript script) {
    QTimer::singleShot(0, dialog, [dialog, script = std::move(script)] {
        QWidget* modal = QApplication::activeModalWidget();
        QPointer<QWidget> target(modal ? modal : dialog);
        if (script)
            script(target.data());
        if (target && target->isVisible())
            if (auto* open = qobject_cast<QDialog*>(target.data()))
                open->reject();
    });
}

// Hands every dialog that comes up modally its script.
class DialogWatcher : public QObject {
public:
    explicit DialogWatcher(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isWindow())
            return false;
        if (event->type() == QEvent::Hide) {
            dialog->setProperty(kTaken, false);
        } else if (event->type() == QEvent::Show && dialog->isModal() && !dialog->property(kTaken).toBool()) {
            dialog->setProperty(kTaken, true);
            const std::string name = dialog->objectName().toStdString();
            for (DialogScripts* log : g_logs)
                log->ran.push_back(name);
            if (g_scripts.empty()) {
                ADD_FAILURE() << "unexpected dialog \"" << name << "\" (" << dialog->windowTitle().toStdString()
                              << ")";
                RunOn(dialog, nullptr);
            } else {
                ModalScript script = std::move(g_scripts.front());
                g_scripts.pop_front();
                RunOn(dialog, std::move(script));
            }
        }
        return false;
    }
};

// Scripts a failed test left behind must not reach the next test's dialogs.
class ForgetScripts : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { g_scripts.clear(); }
};

} // namespace

void WhenModal(ModalScript script) { g_scripts.push_back(std::move(script)); }

DialogScripts::DialogScripts() { g_logs.push_back(this); }

DialogScripts::~DialogScripts() {
    g_logs.erase(std::remove(g_logs.begin(), g_logs.end(), this), g_logs.end());
    ExpectNoDialogScriptsLeft();
}

DialogScripts& DialogScripts::Then(ModalScript script) {
    WhenModal(std::move(script));
    return *this;
}

void ExpectNoDialogScriptsLeft() {
    if (!g_scripts.empty())
        ADD_FAILURE() << g_scripts.size() << " dialog script(s) left: the dialog did not come up";
    g_scripts.clear();
}

void InstallDialogScripting() {
    qApp->installEventFilter(new DialogWatcher(qApp));
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetScripts);
}
