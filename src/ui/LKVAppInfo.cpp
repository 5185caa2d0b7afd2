#include "ui/LKVAppInfo.h"

QString LKVVersion() { return QStringLiteral("0.1"); }

QString LKVProductLine() { return QStringLiteral("Kelvane ") + LKVVersion(); }

QIcon LKVAppIcon() { return LKVIcon(QStringLiteral("kelvane")); }

QIcon LKVIcon(const QString& name) { return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")); }
