#include "app/PickWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/ClipboardHandoff.h"
#include "app/ProcessLauncher.h"
#include "app/ShowChannel.h"
#include "base/Messenger.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"
#include "library/Sample.h"
#include "library/WordFind.h"
#include "ui/MarkedRows.h"
#include "ui/TextCodec.h"

CPickWindow::CPickWindow(IKeyStore& store, QWidget* parent) : QWidget(parent), m_store(store) {
    setObjectName(QStringLiteral("pickWindow"));
    setWindowTitle(QStringLiteral("Tindrel: Quick pick"));
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("pickField"));
    m_field->setPlaceholderText(QStringLiteral("Words of the title or keywords"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("pickList"));
    m_list->setUniformItemSizes(true);
    m_list->setItemDelegate(new CMarkedRowDelegate(
        [this](const QModelIndex& index) {
            const size_t row = static_cast<size_t>(index.row());
            if (!m_find || row >= m_shown.size())
                return std::vector<CharRange>();
            const std::string& title = m_shown[row]->GetTitle();
            return MarkedChars(title, m_find->Marks(title));
        },
        m_list));
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_field);
    column->addWidget(m_list, 1);
    resize(560, 360);
    connect(m_field, &QLineEdit::textChanged, this, &CPickWindow::OnTextChanged);
    connect(m_list, &QListWidget::itemActivated, this, &CPickWindow::CopyChosen);
    m_field->installEventFilter(this);
    m_list->installEventFilter(this);
}

CPickWindow::~CPickWindow() = default;

bool CPickWindow::Open(const std::string& folder) {
    m_config = std::make_unique<CLibraryConfig>(m_store);
    m_config->SetReadOnly(true);
    m_config->LoadProfile();
    m_errors = std::make_unique<CLoadErrorList>();
    m_doc = std::make_unique<CQuorrinDoc>(*m_config, *m_errors);
    m_doc->SetFolder(folder);
    if (!m_doc->OnNewDocument(LoadMode::ReadOnly))
        return false;
    m_doc->RemoveUnplacedSamples();
    return true;
}

void CPickWindow::OnTextChanged() {
    m_list->clear();
    m_shown.clear();
    if (!m_doc)
        return;
    const std::string typed = EncodeString(m_field->text(), TextEncoding::Utf8);
    m_find = std::make_unique<CWordFind>(typed, false);
    const std::vector<RankedSample> found = FindWords(*m_doc, typed, false);
    for (const RankedSample& hit : found) {
        if (m_shown.size() >= static_cast<size_t>(kRows))
            break;
        m_shown.push_back(hit.sample);
        m_list->addItem(DecodeName(hit.sample->GetTitle()));
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

const CSample* CPickWindow::Chosen() const {
    const int row = m_list->currentRow();
    return row < 0 || row >= static_cast<int>(m_shown.size()) ? nullptr : m_shown[static_cast<size_t>(row)];
}

void CPickWindow::ShowChosen() {
    const CSample* chosen = Chosen();
    if (!chosen)
        return;
    m_done = true;
    hide();
    emit ShowAsked(chosen->GetTitle());
}

void CPickWindow::CopyChosen() {
    const CSample* chosen = Chosen();
    if (!chosen)
        return;
    const std::string& text = chosen->GetText();
    // Line ends as the desktop's programs expect them.
    QString decoded = DecodeName(text);
    decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QGuiApplication::clipboard()->setText(decoded);
    m_done = true;
    hide();
    emit Copied();
}

bool CPickWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (key->modifiers() & Qt::ShiftModifier)
            ShowChosen();
        else
            CopyChosen();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (watched == m_field) {
            // The field keeps the focus; the keys move through the list.
            QCoreApplication::sendEvent(m_list, event);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CPickWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!m_done) {
        m_done = true;
        emit Cancelled();
    }
}

bool ShowInMainWindow(const std::string& folder, const std::string& title) {
    switch (AskWindowToShow(folder, title)) {
    case ShowAnswer::Shown:
        return true;
    case ShowAnswer::NotFound:
        ShowMessage("The library's window has no sample \"" + title + "\" any more.", MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return false;
    case ShowAnswer::NoWindow:
        break;
    }
    // No window has the library open: one is started on it, to show the sample.
    const QString program = QCoreApplication::applicationFilePath();
    const QString text = DecodeName(title);
    if (StartProgram(program, {QFile::decodeName(folder.c_str()), QStringLiteral("--show"), text}))
        return true;
    ShowMessage("Unable to start " + program.toStdString() + " to show the sample.", MsgButtons::Ok, MsgIcon::Stop);
    return false;
}

int RunPick(const LibraryChoice& choice) {
    FileKeyStore store;
    const std::string folder = libraryfolder::Enter(choice, store, libraryfolder::EnterMode::Tool);
    if (folder.empty())
        return 1;
    CPickWindow window(store);
    if (!window.Open(folder))
        return 1;
    QObject::connect(&window, &CPickWindow::Cancelled, qApp, [] { QCoreApplication::exit(0); });
    QObject::connect(&window, &CPickWindow::ShowAsked, qApp, [&folder](const std::string& title) {
        QCoreApplication::exit(ShowInMainWindow(folder, title) ? 0 : 1);
    });
    QObject::connect(&window, &CPickWindow::Copied, qApp, [] {
        // A clipboard manager takes the text as the process ends.
        if (ClipboardManagerRuns()) {
            QCoreApplication::exit(0);
            return;
        }
        // Wait, windowless, until another program (a clipboard manager started since, or
        // the next copy) owns the clipboard.
        QClipboard* clipboard = QGuiApplication::clipboard();
        QObject::connect(clipboard, &QClipboard::changed, qApp, [clipboard](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
                QCoreApplication::exit(0);
        });
        if (!clipboard->ownsClipboard())
            QCoreApplication::exit(0);
    });
    window.show();
    window.activateWindow();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
