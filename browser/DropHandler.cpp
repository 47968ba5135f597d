#include "browser/DropHandler.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/TextCodec.h"

// ---------------------------------------------------------------------------------
// CTextDroppedDlg

CTextDroppedDlg::CTextDroppedDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("textDroppedDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));

    auto* question =
        new QLabel(QStringLiteral("Replace the current sample's text with the dropped text?"), this);
    question->setTextFormat(Qt::PlainText);
    auto* hint =
        new QLabel(QStringLiteral("(Click \"Create new\" to invoke the \"Add Sample\" wizard rather than "
                                  "replace the selected sample's text.)"),
                   this);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    hint->setMinimumWidth(question->sizeHint().width());

    auto* replace = new QPushButton(QStringLiteral("Replace"), this);
    replace->setObjectName(QStringLiteral("replaceButton"));
    replace->setDefault(true);
    auto* createNew = new QPushButton(QStringLiteral("Create new"), this);
    createNew->setObjectName(QStringLiteral("createNewButton"));
    createNew->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(replace);
    buttons->addWidget(createNew);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(question);
    outer->addSpacing(6);
    outer->addWidget(hint);
    outer->addSpacing(10);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(replace, &QPushButton::clicked, this, &QDialog::accept);
    connect(createNew, &QPushButton::clicked, this, [this] { done(kCreateNew); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// ---------------------------------------------------------------------------------
// Dropped and pasted text

DropKind ClassifyDrop(const QMimeData* data) {
    if (!data || !data->hasText())
        return DropKind::Other;
    // A file manager offers the paths of dragged files as text too; an image may come
    // with its address. Neither is sample text.
    if (data->hasImage())
        return DropKind::Other;
    if (data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        if (!urls.isEmpty() &&
            std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
            return DropKind::Other;
    }
    return DropKind::Text;
}

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

// ---------------------------------------------------------------------------------
// CDropTarget

CDropTarget::CDropTarget(QWidget* target, DropCallback onDrop)
    : QObject(target), m_target(target), m_onDrop(std::move(onDrop)) {
    target->setAcceptDrops(true);
    // The whole window is one drop target: the fields do not take drops themselves.
    for (QWidget* child : target->findChildren<QWidget*>())
        child->setAcceptDrops(false);
    target->installEventFilter(this);
}

bool CDropTarget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_target)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Whatever is offered, the answer is copy.
        auto* e = static_cast<QDragMoveEvent*>(event);
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    case QEvent::DragLeave:
        event->accept();
        return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const bool taken = m_onDrop ? m_onDrop(e->mimeData()) : false;
        if (taken) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

// ---------------------------------------------------------------------------------
// Paste

bool PasteInto(QWidget* edit) {
    auto* line = qobject_cast<QLineEdit*>(edit);
    auto* text = qobject_cast<QPlainTextEdit*>(edit);
    if ((!line && !text) || (line && line->isReadOnly()) || (text && text->isReadOnly()))
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
    } else {
        text->insertPlainText(value);
    }
    return true;
}

void CPasteFilter::Watch(QWidget* edit) {
    edit->installEventFilter(this);
    // A multi-line field gets its context menu through its viewport.
    if (auto* text = qobject_cast<QPlainTextEdit*>(edit))
        text->viewport()->installEventFilter(this);
}

bool CPasteFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    if (!qobject_cast<QLineEdit*>(widget) && !qobject_cast<QPlainTextEdit*>(widget))
        widget = qobject_cast<QPlainTextEdit*>(widget->parentWidget());
    if (!widget)
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
