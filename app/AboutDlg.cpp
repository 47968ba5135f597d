#include "app/AboutDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QFile>
#include <QLabel>
#include <Qsci/qsciglobal.h>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/VersionInfo.h"
#include "config/FileKeyStore.h"
#include "base/Messenger.h"

QString VersionText(const std::string& productVersion, const std::string& fileVersion) {
    return QString::fromStdString(productVersion + "   (" + fileVersion + ")");
}

std::vector<ProgramChoice> CAboutDlg::SystemInfoPrograms() {
#ifdef _WIN32
    return {{QStringLiteral("winmsd.exe"), {}}, {QStringLiteral("msd.exe"), {}}};
#else
    return {
        {QStringLiteral("kinfocenter"), {}},
        {QStringLiteral("hardinfo2"), {}},
        {QStringLiteral("hardinfo"), {}},
        {QStringLiteral("xfce4-about"), {}},
        {QStringLiteral("mate-system-monitor"), {}},
        {QStringLiteral("gnome-system-monitor"), {}},
    };
#endif
}

std::string CAboutDlg::SystemInfoFailureText() {
#ifdef _WIN32
    return std::string("Could not locate Windows MSD application.\n") +
           "(Windows95 = msd.exe; WindowsNT = winmsd.exe).\n\n" +
           "If you have the CD version of Windows95, look in the\n" + "\"Other\" sub-directory on the CD.";
#else
    return "Could not start a system information program.\n(Tried " + ProgramList(SystemInfoPrograms()) +
           ".)\n\nInstall one of them, for example the package hardinfo,\nand press System Info... again.";
#endif
}

QString CAboutDlg::DetailsText(const std::string& libraryFolder) {
    QString text = QStringLiteral("Qt %1, QScintilla %2").arg(QString::fromLatin1(qVersion()),
                                                              QStringLiteral(QSCINTILLA_VERSION_STR));
    if (!libraryFolder.empty())
        text += QStringLiteral("\nLibrary: ") + QFile::decodeName(QByteArray::fromStdString(libraryFolder));
    text += QStringLiteral("\nConfiguration: ") + QFile::decodeName(QByteArray::fromStdString(FileKeyStore::DefaultPath()));
    return text;
}

CAboutDlg::CAboutDlg(QWidget* parent, const std::string& libraryFolder) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));

    const CVersionInfo version(kProgramFile);
    m_strVersion = VersionText(version.m_strProductVersion, version.m_strFileVersion);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/tindrel.xpm")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto* name = new QLabel(QStringLiteral("Tindrel"), this);
    name->setObjectName(QStringLiteral("programName"));
    auto* versionCaption = new QLabel(QStringLiteral("Version: "), this);
    auto* versionLabel = new QLabel(m_strVersion, this);
    versionLabel->setObjectName(QStringLiteral("versionText"));
    versionLabel->setTextFormat(Qt::PlainText);
    versionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* details = new QLabel(DetailsText(libraryFolder), this);
    details->setObjectName(QStringLiteral("aboutDetails"));
    details->setTextFormat(Qt::PlainText);
    details->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* systemInfo = new QPushButton(QStringLiteral("System Info..."), this);
    systemInfo->setObjectName(QStringLiteral("systemInfoButton"));
    systemInfo->setAutoDefault(false);

    auto* text = new QGridLayout;
    text->addWidget(name, 0, 0, 1, 2);
    text->addWidget(versionCaption, 1, 0);
    text->addWidget(versionLabel, 1, 1);
    text->addWidget(details, 2, 0, 1, 2);
    text->setColumnStretch(1, 1);
    text->setRowStretch(3, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(systemInfo);
    buttons->addStretch(1);

    auto* outer = new QHBoxLayout(this);
    outer->addWidget(icon);
    outer->addSpacing(8);
    outer->addLayout(text, 1);
    outer->addSpacing(16);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(systemInfo, &QPushButton::clicked, this, &CAboutDlg::OnSystemInfo);
}

void CAboutDlg::OnSystemInfo() {
    if (StartFirstProgram(SystemInfoPrograms()) >= 0)
        return;
    ShowMessage(SystemInfoFailureText(), MsgButtons::Ok, MsgIcon::Information);
}
