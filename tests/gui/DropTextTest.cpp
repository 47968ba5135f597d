// Dropped and pasted text: which data counts as text, its bytes, the Text Dropped
// dialog, and pasting into the edit fields.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "GuiTestSupport.h"
#include "browser/ClipboardAndDrop.h"
#include "browser/TextDroppedDlg.h"

namespace {

std::unique_ptr<QMimeData> RawText(const std::string& bytes) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/plain"),
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return data;
}

// Puts raw text bytes on the clipboard.
void SetClipboardBytes(const std::string& bytes) {
    QGuiApplication::clipboard()->setMimeData(RawText(bytes).release());
}

} // namespace

TEST(DropTextTest, WhatCountsAsText) {
    auto text = std::make_unique<QMimeData>();
    text->setText(QStringLiteral("int x;"));
    EXPECT_EQ(ClassifyDrop(text.get()), DropKind::Text);

    // Files from a file manager come with their paths as text too.
    auto files = std::make_unique<QMimeData>();
    files->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    files->setText(QStringLiteral("/tmp/a.txt"));
    EXPECT_EQ(ClassifyDrop(files.get()), DropKind::Other);

    auto image = std::make_unique<QMimeData>();
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    image->setImageData(img);
    image->setText(QStringLiteral("picture"));
    EXPECT_EQ(ClassifyDrop(image.get()), DropKind::Other);

    // A web address dragged from a browser is text.
    auto link = std::make_unique<QMimeData>();
    link->setUrls({QUrl(QStringLiteral("https://example.org/"))});
    link->setText(QStringLiteral("https://example.org/"));
    EXPECT_EQ(ClassifyDrop(link.get()), DropKind::Text);

    auto nothing = std::make_unique<QMimeData>();
    EXPECT_EQ(ClassifyDrop(nothing.get()), DropKind::Other);
    EXPECT_EQ(ClassifyDrop(nullptr), DropKind::Other);
}

TEST(DropTextTest, TextKeepsItsBytes) {
    // Windows-1252 bytes are not UTF-8; they are taken as they are.
    EXPECT_EQ(RawTextBytes(RawText("na\xEFve").get()), "na\xEFve");
    auto unicode = std::make_unique<QMimeData>();
    unicode->setText(QString::fromUtf8("\xC3\x84rger"));
    EXPECT_EQ(RawTextBytes(unicode.get()), "\xC3\x84rger");
    EXPECT_EQ(RawTextBytes(nullptr), "");
}

TEST(DropTextTest, ZeroByteCutsAndLineEndsBecomeCrLf) {
    EXPECT_EQ(LibraryTextFromBytes(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(LibraryTextFromBytes(std::string("\0abc", 4)), "");
    EXPECT_EQ(LibraryTextFromBytes("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\rd\r\n");
    EXPECT_EQ(LibraryTextFromBytes("\n\n"), "\r\n\r\n");
    EXPECT_EQ(LibraryTextFromBytes(""), "");
}

TEST(DropTextTest, TextDroppedDialog) {
    CTextDroppedDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Text Dropped Into Sample"));
    EXPECT_EQ(Find<QPushButton>(&dlg, "replaceButton")->text(), QStringLiteral("Replace"));
    EXPECT_TRUE(Find<QPushButton>(&dlg, "replaceButton")->isDefault());
    EXPECT_EQ(Find<QPushButton>(&dlg, "createNewButton")->text(), QStringLiteral("Create new"));
    EXPECT_EQ(Find<QPushButton>(&dlg, "cancelButton")->text(), QStringLiteral("Cancel"));
    std::vector<std::string> labels;
    for (QLabel* l : dlg.findChildren<QLabel*>())
        labels.push_back(l->text().toStdString());
    EXPECT_EQ(labels,
              (std::vector<std::string>{"Replace the current sample's text with the dropped text?",
                                        "(Click \"Create new\" to invoke the \"Add Sample\" wizard rather "
                                        "than replace the selected sample's text.)"}));
    // Three distinct results.
    Find<QPushButton>(&dlg, "createNewButton")->click();
    EXPECT_EQ(dlg.result(), CTextDroppedDlg::kCreateNew);
    Find<QPushButton>(&dlg, "replaceButton")->click();
    EXPECT_EQ(dlg.result(), CTextDroppedDlg::kReplace);
    Find<QPushButton>(&dlg, "cancelButton")->click();
    EXPECT_EQ(dlg.result(), CTextDroppedDlg::kCancel);
    EXPECT_NE(CTextDroppedDlg::kCreateNew, CTextDroppedDlg::kReplace);
    EXPECT_NE(CTextDroppedDlg::kCreateNew, CTextDroppedDlg::kCancel);
}

TEST(DropTextTest, PasteCutsAtAZeroByte) {
    QPlainTextEdit text;
    QLineEdit line;
    SetClipboardBytes(std::string("first\nsecond\0hidden", 19));
    EXPECT_TRUE(PasteInto(&text));
    EXPECT_EQ(text.toPlainText(), QStringLiteral("first\nsecond"));
    // A single-line field takes the first line only.
    EXPECT_TRUE(PasteInto(&line));
    EXPECT_EQ(line.text(), QStringLiteral("first"));
    // Windows-1252 bytes arrive as their characters.
    SetClipboardBytes("caf\xE9");
    line.clear();
    EXPECT_TRUE(PasteInto(&line));
    EXPECT_EQ(line.text(), QString::fromUtf8("caf\xC3\xA9"));
    // Read-only fields take nothing.
    line.clear();
    line.setReadOnly(true);
    EXPECT_FALSE(PasteInto(&line));
    EXPECT_TRUE(line.text().isEmpty());
}

TEST(DropTextTest, ThePasteKeyGoesThroughTheFilter) {
    QLineEdit line;
    CPasteFilter filter;
    filter.Watch(&line);
    SetClipboardBytes(std::string("abc\0def", 7));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::sendEvent(&line, &press);
    EXPECT_EQ(line.text(), QStringLiteral("abc"));
}

TEST(DropTextTest, TheContextMenuPasteGoesThroughTheFilter) {
    for (bool multiLine : {false, true}) {
        SCOPED_TRACE(multiLine ? "multi-line" : "single-line");
        QLineEdit line;
        QPlainTextEdit text;
        QWidget* edit = multiLine ? static_cast<QWidget*>(&text) : &line;
        CPasteFilter filter;
        filter.Watch(edit);
        SetClipboardBytes(std::string("abc\0def", 7));
        bool pasted = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* a : menu->actions())
                if (a->objectName() == QLatin1String("edit-paste") ||
                    a->text().startsWith(QLatin1String("&Paste"))) {
                    a->trigger();
                    pasted = true;
                }
            menu->close();
        });
        QWidget* target = multiLine ? text.viewport() : edit;
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(target, &event);
        EXPECT_TRUE(pasted);
        EXPECT_EQ(multiLine ? text.toPlainText() : line.text(), QStringLiteral("abc"));
    }
}
