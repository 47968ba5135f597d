#include "EditTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>

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
    ExpectNoDialogScriptsLeft();
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
