#include "ui/qt/QtConvert.h"

namespace qtconv {

QDateTime ToQDateTime(const COleDateTime& value) {
    if (value.GetStatus() != COleDateTime::valid || value.GetYear() < 0)
        return {};
    QDate date(value.GetYear(), value.GetMonth(), value.GetDay());
    QTime time(value.GetHour(), value.GetMinute(), value.GetSecond());
    // UTC: a wall-clock value must not fall into a daylight-saving gap.
    return QDateTime(date, time, Qt::UTC);
}

COleDateTime ToOleDateTime(const QDateTime& value) {
    COleDateTime result;
    if (!value.isValid()) {
        result.SetStatus(COleDateTime::invalid);
        return result;
    }
    const QDate date = value.date();
    const QTime time = value.time();
    result.SetDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    return result;
}

QString TimePictureToQtFormat(const CString& picture) {
    QString format = ToQString(picture);
    // Windows "tt"/"t" is the AM/PM designator; Qt spells it "AP"/"A".
    format.replace(QStringLiteral("tt"), QStringLiteral("AP"));
    if (!format.contains(QStringLiteral("AP")))
        format.replace(QLatin1Char('t'), QLatin1Char('A'));
    return format;
}

}   // namespace qtconv
