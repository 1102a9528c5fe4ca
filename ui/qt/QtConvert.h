#pragma once
// Conversions between the platform stand-ins and Qt values, for the dialog layer.
#include <QDateTime>
#include <QString>

#include "platform/CString.h"
#include "platform/OleDateTime.h"

namespace qtconv {

inline QString ToQString(const CString& text) { return QString::fromStdU16String(text.str()); }
inline CString FromQString(const QString& text) { return CString(text.toStdU16String()); }

// The same wall-clock date-time, held as UTC so no zone shift applies; a non-valid value gives an invalid QDateTime.
QDateTime ToQDateTime(const COleDateTime& value);
// Whole seconds; an invalid QDateTime gives a date-time with status invalid.
COleDateTime ToOleDateTime(const QDateTime& value);

// A Windows time picture ("h:mm tt", "HH:mm") as a Qt display format ("h:mm AP", "HH:mm").
QString TimePictureToQtFormat(const CString& picture);

}   // namespace qtconv
