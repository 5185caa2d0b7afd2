#include "ui/LKVAppInfo.h"

#include <QGuiApplication>

#include "core/LVersion.h"

QString LKVVersion() { return QString::fromLatin1(kKelvaneVersion); }

QString LKVProductLine() { return QStringLiteral("Kelvane ") + LKVVersion(); }

QIcon LKVAppIcon() { return LKVIcon(QStringLiteral("kelvane")); }

QIcon LKVIcon(const QString& name) { return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")); }

void LKVNameApplication()
{
    QGuiApplication::setApplicationName(QStringLiteral("Kelvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvane"));
}
