#include "desktop/export/DlgExcelSettings.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/StringTable.h"
#include "ui/qt/DataExchange.h"
#include "ui/qt/QtConvert.h"
#include "ui/shared/dialogs/DialogLayout.h"

namespace {
constexpr int kMaxFormatLength = 20;
}

CDlgExcelSettings::CDlgExcelSettings(const ExcelCellFormats& formats, KeepFormats keep, QWidget* parent)
    : CDialog(u"Microsoft Excel Settings", parent), m_formats(formats), m_keep(std::move(keep)) {
    setObjectName(QStringLiteral("dlgExcelSettings"));
}

QLineEdit* CDlgExcelSettings::AddFormatBox(const char* label, const char* objectName, int row, QGridLayout* grid) {
    auto* box = Named(new QLineEdit(this), objectName);
    box->setMaxLength(kMaxFormatLength);
    // Wide enough that a format of the longest length shows whole, with room for the frame.
    const QFontMetrics metrics = box->fontMetrics();
    box->setMinimumWidth(metrics.horizontalAdvance(QString(kMaxFormatLength, QLatin1Char('0'))) +
                         2 * metrics.averageCharWidth());
    grid->addWidget(MakeBuddyLabel(QString::fromUtf8(label), box, this), row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

void CDlgExcelSettings::CreateControls() {
    QGridLayout* grid = nullptr;
    QGroupBox* group = MakeGroup(tr("Default Cell Formats"), this, grid);
    m_currency = AddFormatBox("&Currency:", "currency", 0, grid);
    m_date = AddFormatBox("&Date:", "date", 1, grid);
    m_time = AddFormatBox("&Time:", "time", 2, grid);
    m_number = AddFormatBox("&Number:", "number", 3, grid);
    m_duration = AddFormatBox("D&uration:", "duration", 4, grid);

    auto* note = new QLabel(tr("These settings can be used to customize the way your data is automatically "
                               "formatted in Excel, and are useful for non-US regional settings."),
                            this);
    note->setWordWrap(true);
    auto* defaults = Named(new QPushButton(tr("Defaults"), this), "defaults");
    connect(defaults, &QPushButton::clicked, this, &CDlgExcelSettings::OnDefaults);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    QBoxLayout* buttons = AddOkCancelButtons();
    buttons->insertWidget(0, defaults);
    layout->addLayout(buttons);
}

void CDlgExcelSettings::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, m_currency, m_formats.currency);
    DDX_Text(pDX, m_date, m_formats.date);
    DDX_Text(pDX, m_time, m_formats.time);
    DDX_Text(pDX, m_number, m_formats.number);
    DDX_Text(pDX, m_duration, m_formats.duration);
}

void CDlgExcelSettings::OnDefaults() {
    m_currency->setText(qtconv::ToQString(StringTable::Get(57609)));
    m_duration->setText(qtconv::ToQString(StringTable::Get(57613)));
    m_time->setText(qtconv::ToQString(StringTable::Get(57611)));
    m_number->setText(qtconv::ToQString(StringTable::Get(57612)));
    m_date->setText(qtconv::ToQString(StringTable::Get(57610)));
}

void CDlgExcelSettings::OnOK() {
    if (!UpdateData(true))
        return;
    if (m_keep)
        m_keep(m_formats);
    EndDialogOK();
}
