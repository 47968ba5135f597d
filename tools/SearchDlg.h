// CSearchDlg: the modeless Search dialog. It counts how often a text occurs in each
// sample and lists the samples that hold it. The view creates it once and afterwards
// only shows it again, so results, text and options survive while it is hidden.
//
// The search runs on the window thread and pumps the event queue once per sample, so
// anything may happen between two samples: samples or categories deleted, the dialog
// hidden or destroyed, the document closed, Search pressed again. The loop therefore
// walks with its own document cursor (which goes on behind the last title it gave),
// looks each sample up again after the pump and skips it when it is gone, and checks
// after every pump that the dialog and the document still exist. Search pressed while
// a search runs restarts it: the running walk ends after its sample and a new one
// begins with the current text and options. A text that becomes empty ends the search
// as Stop does; Clear Display during a search ends it and leaves the display cleared.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "library/LibrarySearch.h"

class CQuorrinDoc;
class CSample;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// A pump that drains the event queue at most every 16 ms. Draining costs microseconds
// per call, which per sample would slow a search several times over; sixty times a
// second keeps Stop, typing and the window live at no visible cost.
std::function<void()> PumpAtMostEveryFrame(std::function<void()> pump);

class CSearchDlg : public QDialog {
    Q_OBJECT
public:
    // document: where the library is reached; it answers nullptr once the document
    // has gone (the window is closing). pump: what runs once per sample to keep the
    // window alive (the application's PumpPendingMessages, at most every frame).
    CSearchDlg(std::function<CQuorrinDoc*()> document, std::function<void()> pump, QWidget* parent = nullptr);
    ~CSearchDlg() override;

    // Creation by the view, once: "(no limit)" and every category of the document go
    // into the category list, and "(no limit)" is selected.
    void Create();

    // Members exchanged with the controls (DoDataExchange).
    QString m_strSearchText;
    bool m_bKeywordsOnly = false;
    bool m_bMatchCase = false;
    bool m_bRegex = false; // the text is a regular expression
    QString m_strStatus;
    int m_nSamplesFound = 0;
    long long m_nOccurrencesFound = 0;
    bool m_bStopRequested = false;

    static constexpr const char* kCaption = "Search";
    static constexpr const char* kSearchingText = "Searching...";
    static constexpr const char* kStoppedText = "Searched stopped before it could complete";
    static constexpr const char* kEmptyTextMessage = "Please enter a string you wish to search for.";

signals:
    // A result row was double-clicked: the title's bytes of the sample to show.
    void sampleChosen(const QByteArray& title);

public slots:
    void OnSearch();
    void OnStop();
    void OnClearDisplay();

    // Close, Esc and the close box hide the dialog; a running search is stopped.
    void reject() override;
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Enter in the result list shows the current row's sample, as a double-click does
    // (rather than pressing Search, the default button).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void DoDataExchange(bool save);
    void RunSearch();
    void SetSearchingState();
    // The category limit's entries: "(no limit)" and the library's categories now.
    void FillCategoryLimit();
    void SetIdleState();
    void AddResultRow(const CSample& sample, unsigned count);
    void ShowPendingRows();
    void DropPendingRows();
    void OnResultDoubleClicked();
    void OnTextChanged();

    std::function<CQuorrinDoc*()> m_document;
    std::function<void()> m_pump;

    QLineEdit* m_searchEdit = nullptr;
    QCheckBox* m_keywordsOnlyCheck = nullptr;
    QCheckBox* m_matchCaseCheck = nullptr;
    QCheckBox* m_regexCheck = nullptr;
    QComboBox* m_categoryList = nullptr;
    QTreeWidget* m_resultList = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_animation = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_clearButton = nullptr;

    // Rows found but not yet in the list (see AddResultRow).
    QList<QTreeWidgetItem*> m_pendingRows;
    QElapsedTimer m_sinceRowsShown;
    static constexpr int kRowsShownAtOnce = 200;
    static constexpr qint64 kRowBatchMs = 250;

    bool m_bSearching = false;
    bool m_bRestart = false;
    bool m_bCleared = false;
    bool m_exchanging = false;
    bool m_columnsSet = false;
};
