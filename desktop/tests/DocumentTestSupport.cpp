#include "desktop/tests/DocumentTestSupport.h"

#include <QFile>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include "biz/DataHelper.h"
#include "desktop/ProgramStrings.h"
#include "platform/Locale.h"

namespace testsupport {

FixedDay::FixedDay(const COleDateTime& now) : m_clock(now) {
    ResetUserData();
    RegisterProgramStrings();
    Locale::OverrideUserDefault(&Locale::EnglishUS());
    m_ready = GetCurrDataHelper()->Initialize() == 1;
}

FixedDay::~FixedDay() { Locale::OverrideUserDefault(nullptr); }

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DialogScript::Step SaveFileAs(const QString& path) {
    return [path](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        if (!files)
            return int(QDialog::Rejected);
        files->selectFile(path);
        return int(QDialog::Accepted);
    };
}

DialogScript::Step PrintToPdf(const QString& path) {
    return [path](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (!print)
            return int(QDialog::Rejected);
        print->printer()->setOutputFileName(path);
        return int(QDialog::Accepted);
    };
}

DialogScript::Step Cancel() {
    return [](QDialog&) { return int(QDialog::Rejected); };
}

bool HavePdfToText() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

}   // namespace testsupport
