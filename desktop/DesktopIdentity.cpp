#include "DesktopIdentity.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QIcon>

void ApplyDesktopIdentity()
{
    QGuiApplication::setDesktopFileName(QLatin1String(DesktopEntryName));
    // The build puts one picture per size under :/icons, as in the icon theme's folders.
    QIcon Icon;
    QDirIterator Pictures(QStringLiteral(":/icons"), { QStringLiteral("*.png") }, QDir::Files,
        QDirIterator::Subdirectories);
    while (Pictures.hasNext())
        Icon.addFile(Pictures.next());
    QGuiApplication::setWindowIcon(Icon);
}
