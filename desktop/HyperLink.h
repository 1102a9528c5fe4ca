#pragma once
// A label that opens a web address when clicked: link colour, red while the mouse is over it,
// always underlined, the address as tooltip. A failure to open beeps and explains why.
#include <QLabel>

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    CHyperLink(const QString& text, const QString& address, QWidget* parent = nullptr);

    const QString& Address() const { return m_address; }
    bool IsHovering() const { return m_bHover; }
    // Opens the address as a click does; the opener's result.
    int Follow();

    static QColor LinkColor() { return QColor(0, 0, 238); }
    static QColor HoverColor() { return QColor(255, 0, 0); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHover(bool hover);
    QString m_address;
    bool m_bHover = false;
};
