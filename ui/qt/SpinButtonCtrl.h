#pragma once
// An up-down control attached to the line edit before it (its buddy): two arrow buttons, the
// Up/Down keys and the mouse wheel in the buddy step an integer position within a range and
// write it into the buddy. Holding an arrow repeats; with an acceleration set, after the
// given time each repeat moves `factor` positions at once.
#include <QElapsedTimer>
#include <QWidget>

class QLineEdit;
class QToolButton;

class CSpinButtonCtrl : public QWidget {
public:
    explicit CSpinButtonCtrl(QWidget* parent = nullptr);
    ~CSpinButtonCtrl() override;

    void SetBuddy(QLineEdit* buddy);
    QLineEdit* GetBuddy() const { return m_buddy; }

    void SetRange32(int lower, int upper);
    void GetRange32(int& lower, int& upper) const {
        lower = m_lower;
        upper = m_upper;
    }
    // Sets the position (clamped to the range) without touching the buddy.
    void SetPos32(int position);
    int GetPos32() const { return m_position; }
    void SetWrap(bool wrap) { m_wrap = wrap; }
    bool GetWrap() const { return m_wrap; }
    void SetAccel(int afterMilliseconds, int factor);

    // One arrow press of `positions` (negative downwards), as the user makes it.
    void Step(int positions) { OnDeltaPos(positions); }

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

protected:
    // Moves by `delta` positions. The plain control reads the buddy's number, steps it within
    // the range (wrapping when set) and writes it back.
    virtual void OnDeltaPos(int delta);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnArrowPressed();
    void OnArrowRepeat(QToolButton* button, int direction);

    QLineEdit* m_buddy = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
    bool m_wrap = false;
    int m_accelAfterMs = -1;
    int m_accelFactor = 1;
    QElapsedTimer m_held;
};
