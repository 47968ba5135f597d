#include "EditTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "ui/DialogRunner.h"

void WhenModal(ModalScript script) {
    auto* timer = new QTimer();
    timer->setInterval(0);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, script = std::move(script)] {
        QWidget* modal = QApplication::activeModalWidget();
        // exec() shows the dialog before its loop runs; a few rounds are plenty.
        if (!modal && ++*tries < 200)
            return;
        timer->stop();
        timer->deleteLater();
        if (!modal) {
            ADD_FAILURE() << "no modal dialog came up";
            return;
        }
        QPointer<QWidget> guard(modal);
        script(modal);
        if (guard && guard->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
                dialog->reject();
    });
    timer->start();
}

DialogScripts::DialogScripts() {
    SetModalHook([this](QDialog& dialog) {
        ran.push_back(dialog.objectName().toStdString());
        if (m_scripts.empty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog.objectName().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        ModalScript script = std::move(m_scripts.front());
        m_scripts.erase(m_scripts.begin());
        WhenModal(std::move(script));
        return dialog.exec();
    });
}

DialogScripts::~DialogScripts() {
    SetModalHook(nullptr);
}

DialogScripts& DialogScripts::Then(ModalScript script) {
    m_scripts.push_back(std::move(script));
    return *this;
}

namespace {

// Replaces an edit field's text by typing, as the user would.
template <class Edit>
void TypeIntoEdit(Edit* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, text);
}

} // namespace

void TypeInto(QLineEdit* edit, const QString& text) { TypeIntoEdit(edit, text); }

void TypeInto(QPlainTextEdit* edit, const QString& text) { TypeIntoEdit(edit, text); }

void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    // A check or radio button reacts to its indicator and text, which sit at its left
    // end; a push button anywhere.
    QPoint at = button->rect().center();
    if (qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button))
        at.setX(std::min(8, button->width() / 2));
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

LibraryFixture::LibraryFixture() {
    config.LoadProfile();
    doc = std::make_unique<CQuorrinDoc>(config, errors);
    EXPECT_TRUE(doc->OnNewDocument());
    messages.Clear();
}

LibraryFixture::~LibraryFixture() {
    doc.reset();
}

void LibraryFixture::Add(const std::string& title, const std::string& category, const std::string& sub,
                         const std::string& keywords, const std::string& comments, const std::string& text) {
    auto s = std::make_unique<CSample>();
    s->SetTitle(title);
    s->SetCategory(category);
    s->SetSubcategory(sub);
    s->SetKeywords(keywords);
    s->SetComments(comments);
    s->SetText(text);
    ASSERT_TRUE(doc->AddSample(std::move(s)));
}

void LibraryFixture::AddCustom(const std::string& name, const std::vector<std::string>& subs) {
    auto c = std::make_unique<CCategory>(name);
    for (size_t i = 0; i < subs.size() && i < static_cast<size_t>(kSlotCount); ++i)
        c->Slot(static_cast<int>(i)) = SubcategorySlot{subs[i], true, true};
    ASSERT_TRUE(doc->AddCategory(std::move(c)));
}
