#pragma once
// The drawn title of a device page or dialog: a child widget over the top 24 pixels of its
// parent that follows the parent's width. The parent's layout leaves that band free.
#include <QWidget>

class CPageTitle : public QWidget {
    Q_OBJECT
public:
    // Dark blue (0, 0, 156), as every device page draws its title.
    static QColor TitleColor() { return QColor(0, 0, 156); }

    CPageTitle(const QString& text, QWidget* parent);
    const QString& Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_text;
};
