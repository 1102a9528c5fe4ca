#pragma once
// Tap-and-hold on a touch screen, for a list's or tree's viewport: holding the stylus (the
// left button) still for a moment, or a right click, is a hold; pressing and lifting on the
// same spot before that is a tap. Positions are in the viewport's coordinates.
#include <QObject>
#include <QPoint>
#include <QTimer>

class QWidget;

class CTapAndHold : public QObject {
    Q_OBJECT
public:
    static constexpr int kHoldMilliseconds = 600;

    explicit CTapAndHold(QWidget* viewport);

signals:
    void tapped(const QPoint& pos);
    void held(const QPoint& pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnHoldTimeout();

    QWidget* m_viewport;
    QTimer m_holdTimer;
    QPoint m_pressPos;
    bool m_pressed = false;
    bool m_synthesizing = false;
};
