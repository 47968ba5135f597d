// CLanguageChoice: the drop-down list in the form that shows which language the text of
// the selected sample's category is highlighted in, and lets the user choose it for a
// custom category (kept in the configuration beside that category's file name). The
// default categories keep their own languages: the list shows them, disabled.
#pragma once

#include <QObject>
#include <string>

#include "library/SampleLanguage.h"

class CLibraryConfig;
class CQuorrinDoc;
class QComboBox;
class QLabel;
class QWidget;
struct ViewContext;

// The language a category's samples are shown in: a default category's own; for a
// custom category the one chosen, else a guess from its name. A category the library
// does not hold counts as custom.
SampleLanguage LanguageOfCategory(const CQuorrinDoc* doc, const CLibraryConfig& config, const std::string& category);

class CLanguageChoice : public QObject {
    Q_OBJECT
public:
    // The label and the list are made as children of parent; the caller lays them out.
    CLanguageChoice(ViewContext& context, QWidget* parent);

    QLabel* Label() const { return m_label; }
    QComboBox* Combo() const { return m_combo; }

    // Shows the language of category (empty: no sample, the list is empty and disabled);
    // only a custom category's can be changed.
    void ShowCategory(const std::string& category);
    // The language shown (plain text when none).
    SampleLanguage Current() const { return m_current; }

signals:
    // The user chose another language for the category shown.
    void LanguageChosen();

private:
    void OnActivated(int index);

    ViewContext& m_context;
    QLabel* m_label = nullptr;
    QComboBox* m_combo = nullptr;
    std::string m_category;
    SampleLanguage m_current = SampleLanguage::Plain;
};
