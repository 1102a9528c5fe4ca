#include "ui/shared/Icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "platform/Library.h"

QIcon IconFromSvg(const QByteArray& svg) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QIcon();
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ResLibraryIcon(const Library* library, unsigned id) {
    const std::string svg = LoadIconSvg(library, id);
    if (svg.empty())
        return QIcon();
    return IconFromSvg(QByteArray::fromStdString(svg));
}

QIcon ProgramIcon(unsigned id) {
    QFile file(QStringLiteral(":/icons/%1.svg").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    return IconFromSvg(file.readAll());
}
