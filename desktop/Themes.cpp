#include "desktop/Themes.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

int g_installedTheme = -1;

// Colours for enabled controls only: QPalette::setColor(role, colour) would paint disabled
// controls the same as enabled ones.
void SetEnabledColor(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
}

// Disabled controls: grey text on the window's colour, with the light emboss of classic looks.
void SetDisabledColors(QPalette& palette, const QColor& text, const QColor& base) {
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::AlternateBase})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, text);
    palette.setColor(QPalette::Disabled, QPalette::Base, base);
    palette.setColor(QPalette::Disabled, QPalette::Light, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, text);
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, base);
}

QPalette Office2003Palette() {
    QPalette palette(QColor(0xc4, 0xda, 0xfa));
    SetEnabledColor(palette, QPalette::Window, QColor(0xdd, 0xe8, 0xf8));
    SetEnabledColor(palette, QPalette::Base, Qt::white);
    SetEnabledColor(palette, QPalette::AlternateBase, QColor(0xf1, 0xf6, 0xfd));
    SetEnabledColor(palette, QPalette::Highlight, QColor(0x31, 0x6a, 0xc5));
    SetEnabledColor(palette, QPalette::HighlightedText, Qt::white);
    SetEnabledColor(palette, QPalette::Text, Qt::black);
    SetEnabledColor(palette, QPalette::WindowText, Qt::black);
    SetEnabledColor(palette, QPalette::ButtonText, Qt::black);
    SetDisabledColors(palette, QColor(0x8d, 0x8d, 0x8d), QColor(0xdd, 0xe8, 0xf8));
    return palette;
}

QPalette OfficeXPPalette() {
    QPalette palette(QColor(0xee, 0xed, 0xe5));
    SetEnabledColor(palette, QPalette::Window, QColor(0xf7, 0xf6, 0xf3));
    SetEnabledColor(palette, QPalette::Base, Qt::white);
    SetEnabledColor(palette, QPalette::Highlight, QColor(0xb6, 0xbd, 0xd2));
    SetEnabledColor(palette, QPalette::HighlightedText, Qt::black);
    SetEnabledColor(palette, QPalette::Text, Qt::black);
    SetEnabledColor(palette, QPalette::WindowText, Qt::black);
    SetEnabledColor(palette, QPalette::ButtonText, Qt::black);
    SetDisabledColors(palette, QColor(0xac, 0xa8, 0x99), QColor(0xf7, 0xf6, 0xf3));
    return palette;
}

QPalette Office2000Palette() {
    QPalette palette(QColor(0xd4, 0xd0, 0xc8));
    SetEnabledColor(palette, QPalette::Base, Qt::white);
    SetEnabledColor(palette, QPalette::Highlight, QColor(0x0a, 0x24, 0x6a));
    SetEnabledColor(palette, QPalette::HighlightedText, Qt::white);
    SetEnabledColor(palette, QPalette::Text, Qt::black);
    SetEnabledColor(palette, QPalette::WindowText, Qt::black);
    SetEnabledColor(palette, QPalette::ButtonText, Qt::black);
    SetDisabledColors(palette, QColor(0x80, 0x80, 0x80), QColor(0xd4, 0xd0, 0xc8));
    return palette;
}

const char* Office2003Sheet() {
    return "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3efff, stop:1 #9ebef5);"
           " border: 1px solid #6f9dd9; border-radius: 3px; spacing: 2px; padding: 1px; }"
           "QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e3efff, stop:1 #c4daf9); }"
           "QMenuBar::item:selected { background: #ffeec2; color: black; border: 1px solid #000080; }"
           "%1"
           "QMenu::item:selected { background: #ffeec2; color: black; border-color: #000080; }"
           "QMenu::item:selected:disabled { background: transparent; color: #8d8d8d; border-color: transparent; }"
           "QToolButton:hover { background: #ffeec2; border: 1px solid #000080; }"
           "QToolButton:checked { background: #ffc069; border: 1px solid #000080; }"
           "QDockWidget::title { background: #9ebef5; padding: 3px; }"
           "QStatusBar { background: #c4daf9; } QStatusBar::item { border: none; }";
}

const char* OfficeXPSheet() {
    return "QToolBar { background: #efedde; border: none; spacing: 2px; padding: 1px; }"
           "QMenuBar { background: #efedde; }"
           "QMenuBar::item:selected { background: #c1d2ee; color: black; border: 1px solid #316ac5; }"
           "%1"
           "QMenu::item:selected { background: #c1d2ee; color: black; border-color: #316ac5; }"
           "QMenu::item:selected:disabled { background: transparent; color: #aca899; border-color: transparent; }"
           "QToolButton:hover { background: #c1d2ee; border: 1px solid #316ac5; }"
           "QToolButton:checked { background: #e1e6f4; border: 1px solid #316ac5; }"
           "QDockWidget::title { background: #dbd8d1; padding: 3px; }"
           "QStatusBar::item { border: none; }";
}

// Menu items take the same room selected or not, with space for the check mark or icon on
// the left and the key on the right (without it the keys were cut at the menu's edge).
const char* MenuItemRule() {
    return "QMenu::item { padding: 3px 24px 3px 28px; border: 1px solid transparent; }"
           "QMenu::icon, QMenu::indicator { left: 6px; }";
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
    qApp->setStyleSheet(QString::fromLatin1(sheet).replace(QLatin1String("%1"), QLatin1String(MenuItemRule())));
    g_installedTheme = theme;
    return true;
}

int InstalledTheme() { return g_installedTheme; }
