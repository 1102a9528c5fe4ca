#include "desktop/SyncProgressDlg.h"

#include <QApplication>
#include <QLabel>
#include <QStringList>

#include "biz/SyncDriver.h"

namespace {

// Each step's words, index = step number.
const char* const kStepTexts[] = {
    "Checking that the device holds this computer's partner data",
    "Telling the device which of its changes this computer already has",
    "The device is collecting its changes",
    "Receiving the device's changes",
    "Collecting the changes made on this computer",
    "Sending this computer's changes to the device",
    "Saving the device's changes on this computer",
    "The device is saving this computer's changes",
    "Finishing: noting the time of this synchronization",
};
static_assert(std::size(kStepTexts) == CSyncDriver::kLastStep + 1);

struct KindWords {
    const char16_t* kind;
    const char* one;
    const char* many;
};
const KindWords kKinds[] = {
    {u"client", "client", "clients"},
    {u"project", "project", "projects"},
    {u"category", "category", "categories"},
    {u"projectItem", "entry", "entries"},
};

QString Count(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromLatin1(count == 1 ? one : many));
}

// "2 entries, 1 client" or "no records".
QString ByKind(const std::map<std::u16string, int>& counts) {
    QStringList parts;
    for (const KindWords& words : kKinds) {
        const auto found = counts.find(words.kind);
        if (found != counts.end() && found->second > 0)
            parts << Count(found->second, words.one, words.many);
    }
    return parts.isEmpty() ? QStringLiteral("no records") : parts.join(QStringLiteral(", "));
}

QString Deletions(int count) {
    return count == 0 ? QStringLiteral("no deletions") : Count(count, "deletion", "deletions");
}

QString ConflictLines(const CSyncSummary& summary) {
    if (summary.Conflicts() == 0)
        return QStringLiteral("Conflicts: none.");
    QStringList lines{QStringLiteral("Conflicts: %1, resolved as follows:").arg(summary.Conflicts())};
    const auto add = [&](int count, const char* what) {
        if (count > 0)
            lines << QStringLiteral("- %1: %2").arg(Count(count, "record", "records"), QString::fromLatin1(what));
    };
    add(summary.conflictsKeptOwn, "changed on both sides; this computer's version was kept on both");
    add(summary.conflictsChangedMeanwhile,
        "changed here during the synchronization; kept here, sent with the next one");
    add(summary.conflictsRestored, "deleted here but changed on the device; brought back with the change");
    add(summary.conflictsDeletionRefused, "deleted on the device but changed or still used here; kept on both sides");
    return lines.join(QLatin1Char('\n'));
}

}   // namespace

CSyncProgressDlg::CSyncProgressDlg(QWidget* parent) : QProgressDialog(parent) {
    setObjectName(QStringLiteral("syncProgress"));
    setWindowTitle(QStringLiteral("Synchronizing"));
    setWindowModality(Qt::WindowModal);
    // A step cannot be stopped half-way without leaving work to repeat; none is offered.
    setCancelButton(nullptr);
    setRange(0, CSyncDriver::kLastStep + 1);
    setMinimumDuration(0);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumWidth(420);
    m_clock.start();
}

void CSyncProgressDlg::ShowStep(int step) {
    setLabelText(StepText(step));
    setValue(step);
    if (!isVisible())
        show();
    // The work that follows blocks this thread; paint now so the step shows meanwhile.
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString CSyncProgressDlg::StepText(int step) {
    if (step < 0 || step > CSyncDriver::kLastStep)
        return QString();
    const QString text = QString::fromLatin1(kStepTexts[step]) + QStringLiteral("...");
    if (step == 0)
        return text;
    return QStringLiteral("Step %1 of %2: %3").arg(step).arg(CSyncDriver::kLastStep).arg(text);
}

QString CSyncProgressDlg::SummaryText(const CSyncSummary& summary, qint64 elapsedMs) {
    QStringList lines;
    lines << QStringLiteral("Sent to the device: %1; %2.").arg(ByKind(summary.sent), Deletions(summary.deletionsSent));
    lines << QStringLiteral("Received from the device: %1; %2.")
                 .arg(ByKind(summary.received), Deletions(summary.deletionsApplied));
    lines << ConflictLines(summary);
    lines << QStringLiteral("Time taken: %1 seconds.").arg(static_cast<double>(elapsedMs) / 1000.0, 0, 'f', 1);
    return lines.join(QLatin1Char('\n'));
}
