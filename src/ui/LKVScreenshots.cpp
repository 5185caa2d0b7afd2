#include "ui/LKVScreenshots.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <cstdio>

#include "ui/LKVMainWindow.h"

LKVScreenshots::LKVScreenshots(LKVMainWindow& window, const std::string& folder)
    : window_(window), folder_(QString::fromStdString(folder))
{
}

bool LKVScreenshots::Save(QWidget& widget, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "kelvane: could not write %s\n", qPrintable(path));
        ++failures_;
        return false;
    }
    return true;
}

void LKVScreenshots::Menus()
{
    for (QAction* top : window_.menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        menu->popup(window_.mapToGlobal(QPoint(0, 0)));
        QString name = top->text();
        name.remove(QLatin1Char('&'));
        Save(*menu, QStringLiteral("menu-") + name.toLower());
        menu->hide();
    }
}

int LKVScreenshots::Run(const std::vector<std::string>& args)
{
    if (!QDir().mkpath(folder_)) {
        std::fprintf(stderr, "kelvane: cannot create %s\n", qPrintable(folder_));
        return 2;
    }
    window_.showNormal();
    window_.resize(1000, 680);
    Save(window_, QStringLiteral("main-empty"));
    window_.StartWith(args);
    Save(window_, QStringLiteral("main-document"));
    Menus();
    window_.Model().CmCloseAll();
    return failures_ ? 2 : 0;
}
