#include "ui/LKVShortcuts.h"

QList<QKeySequence> LKVShortcuts(const char* text)
{
    QString t = QString::fromUtf8(text ? text : "");
    if (t.isEmpty())
        return {};
    if (t == QStringLiteral("Ctrl+Plus"))
        return {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)};
    if (t == QStringLiteral("Ctrl+Minus"))
        return {QKeySequence(Qt::CTRL | Qt::Key_Minus)};
    return {QKeySequence::fromString(t, QKeySequence::PortableText)};
}
