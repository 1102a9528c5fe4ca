#include "desktop/Themes.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

int g_installedTheme = -1;

QPalette Office2003Palette() {
    QPalette palette(QColor(0xc4, 0xda, 0xfa));
    palette.setColor(QPalette::Window, QColor(0xdd, 0xe8, 0xf8));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(0xf1, 0xf6, 0xfd));
    palette.setColor(QPalette::Highlight, QColor(0x31, 0x6a, 0xc5));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    return palette;
}

QPalette OfficeXPPalette() {
    QPalette palette(QColor(0xee, 0xed, 0xe5));
    palette.setColor(QPalette::Window, QColor(0xf7, 0xf6, 0xf3));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0xb6, 0xbd, 0xd2));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    return palette;
}

QPalette Office2000Palette() {
    QPalette palette(QColor(0xd4, 0xd0, 0xc8));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x24, 0x6a));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    return palette;
}

const char* Office2003Sheet() {
    return "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3efff, stop:1 #9ebef5);"
           " border: 1px solid #6f9dd9; border-radius: 3px; spacing: 2px; padding: 1px; }"
           "QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3efff, stop:1 #c4daf9); }"
           "QMenuBar::item:selected, QMenu::item:selected { background: #ffeec2; color: black;"
           " border: 1px solid #000080; }"
           "QToolButton:hover { background: #ffeec2; border: 1px solid #000080; }"
           "QToolButton:checked { background: #ffc069; border: 1px solid #000080; }"
           "QDockWidget::title { background: #9ebef5; padding: 3px; }"
           "QStatusBar { background: #c4daf9; } QStatusBar::item { border: none; }";
}

const char* OfficeXPSheet() {
    return "QToolBar { background: #efedde; border: none; spacing: 2px; padding: 1px; }"
           "QMenuBar { background: #efedde; }"
           "QMenuBar::item:selected, QMenu::item:selected { background: #c1d2ee; color: black;"
           " border: 1px solid #316ac5; }"
           "QToolButton:hover { background: #c1d2ee; border: 1px solid #316ac5; }"
           "QToolButton:checked { background: #e1e6f4; border: 1px solid #316ac5; }"
           "QDockWidget::title { background: #dbd8d1; padding: 3px; }"
           "QStatusBar::item { border: none; }";
}

}   // namespace

bool InstallTheme(int theme) {
    QStyle* style = nullptr;
    QPalette palette;
    const char* sheet = "";
    switch (theme) {
    case 0:
        style = QStyleFactory::create(QStringLiteral("Fusion"));
        palette = Office2003Palette();
        sheet = Office2003Sheet();
        break;
    case 1:
        style = QStyleFactory::create(QStringLiteral("Fusion"));
        palette = OfficeXPPalette();
        sheet = OfficeXPSheet();
        break;
    case 2:
        style = QStyleFactory::create(QStringLiteral("Windows"));
        palette = Office2000Palette();
        // The status panes draw their own borders (the filter pane has none while off).
        sheet = "QStatusBar::item { border: none; }";
        break;
    default: return false;
    }
    if (style)
        QApplication::setStyle(style);   // the application takes ownership
    QApplication::setPalette(palette);
    qApp->setStyleSheet(QString::fromLatin1(sheet));
    g_installedTheme = theme;
    return true;
}

int InstalledTheme() { return g_installedTheme; }
