// The code editor's find bar: a line under the text with the word to find, next and
// previous buttons, match case and what the last search found. It only asks; the editor
// searches. Enter finds the next match, Shift+Enter the previous one, Escape closes.
#pragma once

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

class CEditorFindBar : public QFrame {
    Q_OBJECT
public:
    explicit CEditorFindBar(QWidget* parent);

    QString Text() const;
    bool MatchCase() const;
    // Shows the bar and puts the focus into its field with the text selected; seed,
    // when not empty, replaces the text first.
    void Open(const QString& seed);
    // What the last search found, shown beside the buttons.
    void ShowResult(bool found);

signals:
    // forward: next or previous. incremental: the text changed while typing, so the
    // search starts at the match shown rather than after it.
    void FindRequested(bool forward, bool incremental);
    void CloseRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_edit;
    QToolButton* m_previous;
    QToolButton* m_next;
    QCheckBox* m_matchCase;
    QLabel* m_status;
    QToolButton* m_close;
};
