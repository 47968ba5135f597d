#include "browser/LanguageChoice.h"

#include <QComboBox>
#include <QLabel>

#include "browser/ViewContext.h"
#include "config/LibraryConfig.h"
#include "library/QuorrinDoc.h"

SampleLanguage LanguageOfCategory(const CQuorrinDoc* doc, const CLibraryConfig& config, const std::string& category) {
    const CCategory* record = doc ? doc->PeekCategory(category) : nullptr;
    const bool custom = !record || record->IsCustom();
    // The library's own choice first (it travels with the folder), then the user's.
    std::string word = custom && doc ? doc->CategoryLanguageWord(category) : std::string();
    if (custom && word.empty())
        word = config.CustomCategoryLanguage(category);
    return CategoryLanguage(category, custom, word);
}

CLanguageChoice::CLanguageChoice(ViewContext& context, QWidget* parent) : QObject(parent), m_context(context) {
    setObjectName(QStringLiteral("languageChoice"));
    m_label = new QLabel(QStringLiteral("Language:"), parent);
    m_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_combo = new QComboBox(parent);
    m_combo->setObjectName(QStringLiteral("languageCombo"));
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->setMinimumContentsLength(8);
    m_combo->setToolTip(QStringLiteral("The language the samples of this category are highlighted in"));
    for (SampleLanguage language : AllSampleLanguages())
        m_combo->addItem(QString::fromLatin1(LanguageDisplayName(language)),
                         QString::fromLatin1(LanguageWord(language)));
    m_label->setBuddy(m_combo);
    connect(m_combo, &QComboBox::activated, this, &CLanguageChoice::OnActivated);
    ShowCategory(std::string());
}

void CLanguageChoice::ShowCategory(const std::string& category) {
    m_category = category;
    if (category.empty() || !m_context.doc) {
        m_current = SampleLanguage::Plain;
        m_combo->setCurrentIndex(-1);
        m_combo->setEnabled(false);
        return;
    }
    m_current = LanguageOfCategory(m_context.doc, m_context.config, category);
    m_combo->setCurrentIndex(m_combo->findData(QString::fromLatin1(LanguageWord(m_current))));
    const CCategory* record = m_context.doc->PeekCategory(category);
    m_combo->setEnabled(!record || record->IsCustom());
}

void CLanguageChoice::OnActivated(int index) {
    if (m_category.empty() || index < 0)
        return;
    const std::string word = m_combo->itemData(index).toString().toStdString();
    SampleLanguage chosen = SampleLanguage::Plain;
    if (!LanguageFromWord(word, chosen) || chosen == m_current)
        return;
    m_context.config.SetCustomCategoryLanguage(m_category, word);
    m_context.doc->SetCategoryLanguage(m_category, word);
    m_current = chosen;
    emit LanguageChosen();
}
