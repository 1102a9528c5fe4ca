#include "ui/shared/TimerIdleDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/shared/TimerControl.h"

CTimerIdleDlg::CTimerIdleDlg(const QString& question, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("timerIdleDialog"));
    setWindowTitle(tr("Timer"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(question, this);
    text->setObjectName(QStringLiteral("questionLabel"));
    text->setWordWrap(true);
    layout->addWidget(text);
    const struct {
        QString text;
        const char* name;
        int answer;
    } buttons[] = {
        {tr("&Keep the time"), "keepButton", CTimerControl::IdleKeep},
        {tr("&Discard the excess"), "discardButton", CTimerControl::IdleDiscardExcess},
        {tr("&Stop at the last activity"), "stopButton", CTimerControl::IdleStopAtLastActivity},
    };
    for (const auto& button : buttons) {
        auto* push = new QPushButton(button.text, this);
        push->setObjectName(QLatin1String(button.name));
        const int answer = button.answer;
        connect(push, &QPushButton::clicked, this, [this, answer] { done(answer); });
        layout->addWidget(push);
        if (answer == CTimerControl::IdleKeep)
            push->setDefault(true);
    }
}
