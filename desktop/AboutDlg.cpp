#include "desktop/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "desktop/CommandIds.h"
#include "desktop/HyperLink.h"
#include "desktop/MainFrame.h"
#include "desktop/ManualPages.h"
#include "ui/shared/Icons.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent),
      m_homePage(new CHyperLink(CManualPages::Address(QString::fromLatin1(CManualPages::kHome)),
                                CManualPages::Address(QString::fromLatin1(CManualPages::kHome)), this)),
      m_support(new CHyperLink(QStringLiteral("Contact Customer Support or Sales Dept."),
                               CManualPages::Address(QString::fromLatin1(CManualPages::kSupport)), this)) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About Quillmar"));
    m_homePage->setObjectName(QStringLiteral("homePageLink"));
    m_support->setObjectName(QStringLiteral("supportLink"));

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon(ids::DocTemplate).pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("Quillmar"), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto* version = new QLabel(CMainFrame::VersionText() + QStringLiteral(" (Unicode)"), this);
    version->setObjectName(QStringLiteral("versionLabel"));

    auto* contact = new QGroupBox(QStringLiteral("Contact Us"), this);
    auto* contactLayout = new QGridLayout(contact);
    contactLayout->addWidget(new QLabel(QStringLiteral("On the Web:"), contact), 0, 0);
    contactLayout->addWidget(m_homePage, 0, 1);
    contactLayout->addWidget(m_support, 1, 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* header = new QHBoxLayout;
    header->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    header->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(contact);
    layout->addWidget(buttons);
}
