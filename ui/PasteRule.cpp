#include "ui/PasteRule.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>

#include "ui/CodeEditor.h"
#include "ui/TextCodec.h"

std::string RawTextBytes(const QMimeData* data) {
    if (!data || !data->hasText())
        return {};
    for (const char* format : {"text/plain;charset=utf-8", "text/plain"}) {
        const QString f = QString::fromLatin1(format);
        if (data->hasFormat(f)) {
            const QByteArray bytes = data->data(f);
            if (!bytes.isEmpty())
                return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
        }
    }
    const QByteArray utf8 = data->text().toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

std::string LibraryTextFromBytes(std::string bytes) {
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
        bytes.resize(zero);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            out += '\r';
        out += bytes[i];
    }
    return out;
}

bool PasteInto(QWidget* edit) {
    auto* line = qobject_cast<QLineEdit*>(edit);
    auto* text = qobject_cast<QPlainTextEdit*>(edit);
    auto* code = qobject_cast<CCodeEditor*>(edit);
    if ((!line && !text && !code) || (line && line->isReadOnly()) || (text && text->isReadOnly()) ||
        (code && code->isReadOnly()))
        return false;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return false;
    std::string bytes = LibraryTextFromBytes(RawTextBytes(data));
    FieldCodec codec;
    QString value = DecodeField(bytes, codec);
    if (line) {
        const qsizetype nl = value.indexOf(QLatin1Char('\n'));
        if (nl >= 0)
            value.truncate(nl);
        line->insert(value);
    } else if (code) {
        code->InsertPlainText(value);
    } else {
        text->insertPlainText(value);
    }
    return true;
}

void CPasteFilter::Watch(QWidget* edit) {
    edit->installEventFilter(this);
    // A multi-line field gets its context menu through its viewport.
    if (auto* text = qobject_cast<QAbstractScrollArea*>(edit))
        text->viewport()->installEventFilter(this);
}

namespace {

bool IsPasteTarget(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const CCodeEditor*>(w);
}

} // namespace

bool CPasteFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    if (!IsPasteTarget(widget))
        widget = widget->parentWidget();
    if (!widget || !IsPasteTarget(widget))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
        PasteInto(widget);
        return true;
    }
    if (event->type() == QEvent::ContextMenu) {
        QMenu* menu = nullptr;
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            menu = line->createStandardContextMenu();
        else if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
            menu = text->createStandardContextMenu(static_cast<QContextMenuEvent*>(event)->pos());
        else if (auto* code = qobject_cast<CCodeEditor*>(widget))
            menu = code->createStandardContextMenu();
        if (!menu)
            return false;
        // The multi-line field names its actions; the single-line one only labels them.
        const QString pasteLabel = QLineEdit::tr("&Paste");
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste") ||
                action->text().section(QLatin1Char('\t'), 0, 0) == pasteLabel) {
                QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
                connect(action, &QAction::triggered, widget, [widget] { PasteInto(widget); });
            }
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        delete menu;
        return true;
    }
    return false;
}
