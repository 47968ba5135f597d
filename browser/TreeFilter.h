// CTreeFilter: the instant find above the sample tree. As the user types, the tree is
// narrowed to the samples that hold every word typed (CWordFind: in any order, in the
// title or a keyword, or with "In text" ticked also in the comments or text, letter
// case ignored), best first within each branch and the branches by their best sample;
// their categories and sub-categories stay as parents. Escape clears
// the text and brings the whole tree back as it was. Down moves into the results and
// Enter shows a sample (the editor then takes the focus, ready to copy).
//
// Titles and keywords are searched at once, in an index kept up to the library. The
// text of every sample is searched in slices of a few milliseconds with the event loop
// running between them, so the window stays responsive: the title matches are shown at
// once, the whole result when the last slice is done. Typing again cancels the search
// that runs. A slice finds the library changed since the search began: it starts again.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/FilterIndex.h"
#include "library/QuorrinDoc.h"

class CSampleTree;
class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;
struct ViewContext;

class CTreeFilter : public QObject {
    Q_OBJECT
public:
    CTreeFilter(ViewContext& context, CSampleTree& tree, QWidget* parent);

    // The field, the option and the status, in a row the view lays out above the tree.
    QWidget* Panel() const { return m_panel; }
    QLineEdit* Field() const { return m_field; }
    QCheckBox* InTextBox() const { return m_inText; }
    // Ctrl+K: the field takes the focus with its text selected.
    void Focus();
    // Whether comments and text are searched too.
    bool IncludesText() const;
    void SetIncludesText(bool on);
    // The words typed, as the find splits them.
    QStringList Words() const;
    // Runs before the tree is narrowed or brought back: unsaved form edits are committed.
    void SetBeforeChange(std::function<void()> before) { m_beforeChange = std::move(before); }
    // True while the text of samples is being searched.
    bool IsSearching() const { return m_searching; }

    // Longest a slice of the text search may take before the event loop runs.
    static constexpr int kSliceMs = 8;

signals:
    // The user picked the sample shown (Enter): the view moves the focus to its text.
    void SampleChosen();
    // The tree shows the whole result of the text typed (or the whole tree again).
    void Finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTextChanged();
    void Apply();
    void RunSlice();
    void ShowResult(const std::vector<const CSample*>& matches, bool includesText);
    void SetStatus(const QString& text);
    // Selects the first sample of the results (making its branch); false when none.
    bool SelectFirstResult();
    void OnTreeFilterEnded();

    ViewContext& m_context;
    CSampleTree& m_tree;
    QWidget* m_panel = nullptr;
    QLineEdit* m_field = nullptr;
    QCheckBox* m_inText = nullptr;
    QLabel* m_status = nullptr;
    std::function<void()> m_beforeChange;
    CFilterIndex m_index;
    bool m_clearing = false;

    // The running text search.
    bool m_searching = false;
    unsigned m_generation = 0;
    std::string m_needle;
    std::uint64_t m_version = 0;
    CQuorrinDoc::Cursor m_cursor;
    bool m_started = false;
    std::vector<const CSample*> m_titleMatches;
    size_t m_nextTitleMatch = 0;
    std::vector<const CSample*> m_found;
};
