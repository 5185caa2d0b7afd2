#include "ui/LKVHelpWindow.h"

#include <QAction>
#include <QFile>
#include <QTextBrowser>
#include <QToolBar>

#include "app/LKVCommands.h"
#include "app/LKVMenuLayout.h"
#include "ui/LKVAppInfo.h"

namespace {

// Shows the manual's pages, with the command table put in where the page asks
// for it.
class LKVManualBrowser : public QTextBrowser {
public:
    QVariant loadResource(int type, const QUrl& name) override
    {
        QVariant v = QTextBrowser::loadResource(type, name);
        if (type == QTextDocument::HtmlResource && v.isValid()) {
            QString html = QString::fromUtf8(v.toByteArray());
            if (html.contains(QStringLiteral("<!--commands-->"))) {
                html.replace(QStringLiteral("<!--commands-->"), LKVHelpWindow::CommandTable());
                return html;
            }
        }
        return v;
    }
};

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

void Rows(const std::vector<LKVMenuEntry>& entries, QString& html)
{
    for (const LKVMenuEntry& e : entries) {
        if (e.kind == LKVMenuEntry::Kind::Submenu)
            Rows(e.entries, html);
        if (e.kind != LKVMenuEntry::Kind::Command)
            continue;
        const LKVCommandInfo* c = LKVFindCommand(e.id);
        if (!c)
            continue;
        html += QStringLiteral("<tr><td>") + Escaped(LKVCommandName(e.id)) + QStringLiteral("</td><td>") +
                Escaped(c->shortcut) + QStringLiteral("</td><td>") + Escaped(c->help) + QStringLiteral("</td></tr>");
    }
}

} // namespace

QString LKVHelpWindow::CommandTable()
{
    QString html;
    for (const LKVMenu& m : LKVMenuBar()) {
        html += QStringLiteral("<h3>") + QString::fromUtf8(m.title).remove(QLatin1Char('&')) + QStringLiteral(" menu</h3>");
        html += QStringLiteral("<table border=\"0\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                               "<tr><th align=\"left\">Command</th><th align=\"left\">Shortcut</th>"
                               "<th align=\"left\">What it does</th></tr>");
        Rows(m.entries, html);
        html += QStringLiteral("</table>");
    }
    return html;
}

LKVHelpWindow::LKVHelpWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Kelvane Help"));
    setWindowIcon(LKVAppIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);
    browser_ = new LKVManualBrowser;
    browser_->setObjectName(QStringLiteral("manual"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/manual")});
    browser_->document()->setDocumentMargin(14);
    browser_->setSource(QUrl(QStringLiteral("qrc:/manual/index.html")));
    setCentralWidget(browser_);

    auto* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    QAction* back = bar->addAction(QStringLiteral("Back"), browser_, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    QAction* forward = bar->addAction(QStringLiteral("Forward"), browser_, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    bar->addAction(QStringLiteral("Contents"), browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    resize(760, 640);
}
