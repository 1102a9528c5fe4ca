#include "desktop/invoices/InvoiceText.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include "ui/qt/QtConvert.h"

namespace {
QString Hours(long long minutes) {
    return QStringLiteral("%1 h").arg(QLocale().toString(static_cast<double>(minutes) / 60.0, 'f', 2));
}

QString Distance(long long distance, const CString& unit) {
    return QStringLiteral("%1 %2").arg(QLocale().toString(distance)).arg(qtconv::ToQString(unit));
}

QString Items(long long items) {
    return items == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(QLocale().toString(items));
}

QString TypeName(CProjectItem::ItemType type) {
    switch (type) {
    case CProjectItem::ItemType_Expense: return QStringLiteral("Expenses");
    case CProjectItem::ItemType_Mileage: return QStringLiteral("Mileage");
    case CProjectItem::ItemType_Time: break;
    }
    return QStringLiteral("Time");
}
}   // namespace

QString CInvoiceText::Money(const CAmount& amount) { return qtconv::ToQString(amount.FormatMoney()); }

QString CInvoiceText::Date(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid)
        return QString();
    return QLocale().toString(ToQDate(date), QStringLiteral("d MMM yyyy"));
}

QString CInvoiceText::LineName(const CInvoice::Line& line) {
    const QString project =
        line.projectName.IsEmpty() ? QStringLiteral("(no project)") : qtconv::ToQString(line.projectName);
    // Time lines are named by their category; the others by their type, with the category
    // (an expense's kind, say) after it.
    QString what = qtconv::ToQString(line.categoryName);
    if (line.type != CProjectItem::ItemType_Time)
        what = what.isEmpty() ? TypeName(line.type) : TypeName(line.type) + QStringLiteral(" (") + what + u')';
    else if (what.isEmpty())
        what = TypeName(line.type);
    return project + QStringLiteral(": ") + what;
}

QString CInvoiceText::LineQuantity(const CInvoice::Line& line, const CString& distanceUnit) {
    switch (line.type) {
    case CProjectItem::ItemType_Mileage: return Distance(line.distance, distanceUnit);
    case CProjectItem::ItemType_Expense: return Items(line.items);
    case CProjectItem::ItemType_Time: break;
    }
    return Hours(line.minutes);
}

QString CInvoiceText::EntryQuantity(const CInvoice::Entry& entry, const CString& distanceUnit) {
    switch (entry.type) {
    case CProjectItem::ItemType_Mileage: return Distance(entry.distance, distanceUnit);
    case CProjectItem::ItemType_Expense: return Items(1);
    case CProjectItem::ItemType_Time: break;
    }
    return Hours(entry.minutes);
}

QString CInvoiceText::TaxRate(int hundredths) {
    QString text = QLocale().toString(hundredths / 100.0, 'f', 2);
    // "19.00" -> "19", "7.50" -> "7.5"
    const QString point = QLocale().decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text;
}

bool CInvoiceText::ParseTaxRate(const QString& text, int& hundredths) {
    const QString trimmed = text.trimmed().remove(u'%').trimmed();
    if (trimmed.isEmpty()) {
        hundredths = 0;
        return true;
    }
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})(?:[.,](\\d{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(trimmed);
    if (!match.hasMatch())
        return false;
    const QString decimals = match.captured(2).leftJustified(2, u'0');
    hundredths = match.captured(1).toInt() * 100 + decimals.toInt();
    return hundredths <= CInvoice::MaxTaxRate;
}

QString CInvoiceText::FileNamePart(const CString& number) {
    QString part = qtconv::ToQString(number).trimmed();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]+"));
    part.replace(unsafe, QStringLiteral("-"));
    return part.isEmpty() ? QStringLiteral("invoice") : part;
}

QDate CInvoiceText::ToQDate(const COleDateTime& date) { return qtconv::ToQDateTime(date).date(); }

COleDateTime CInvoiceText::FromQDate(const QDate& date) {
    return COleDateTime(date.year(), date.month(), date.day(), 0, 0, 0);
}
