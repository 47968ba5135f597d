// Pieces shared by the dialogs of the window.
#pragma once

class QBoxLayout;
class QDialog;
class QLabel;
class QWidget;

// A label showing exactly this text (plain text, never markup); wrapped when asked.
QLabel* PlainLabel(const char* text, QWidget* parent, bool wrap = false);
// OK (named "okButton", the default) and Cancel ("cancelButton") at the bottom of the
// layout, wired to accept() and reject().
void AddOkCancel(QDialog* dialog, QBoxLayout* layout);
// The width of n average characters of the widget's font, for sizing edits and lists.
int CharWidth(const QWidget* widget, int n);
