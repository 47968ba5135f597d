// Asks, for a selected category, whether a sub-category or a sample is to be added.
#pragma once

#include <QDialog>

class QRadioButton;

class CInsertItemDlg : public QDialog {
    Q_OBJECT
public:
    explicit CInsertItemDlg(QWidget* parent = nullptr);

    enum { kSubcategory = 0, kSample = 1 };
    // The choice: 0 a sub-category, 1 a sample; 0 at start.
    int m_nChoice = kSubcategory;

    void accept() override;

    static constexpr const char* kTitle = "Insert item ";
    static constexpr const char* kQuestion = "Do you want ot add a new sub-category or a new sample?";

private:
    void DoDataExchange(bool save);

    QRadioButton* m_subcategory;
    QRadioButton* m_sample;
};
