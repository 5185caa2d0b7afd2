#include "ui/LKVFileWindow.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "app/LKVReadouts.h"
#include "app/MainDialog.h"
#include "edit/LKVFile.h"

LKVFileWindow::LKVFileWindow(MainDialog& model, LKVFile& doc, QWidget* parent)
    : QWidget(parent), model_(model), doc_(doc)
{
    setObjectName(QStringLiteral("LKVFileWindow"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LKVFileWindow::DocumentChanged() { update(); }

void LKVFileWindow::ShowWholeDocument()
{
    doc_.pos.viewStart = 0;
    doc_.pos.viewEnd = doc_.audio.GetLength();
    update();
}

bool LKVFileWindow::ViewCommand(int32_t) { return false; }

void LKVFileWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Base));
    const int mid = height() / 2;
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.drawLine(0, mid, width(), mid);

    const LKVReadouts r = LKVReadouts::Of(&doc_);
    const QString text = QString::fromStdString(doc_.GetTitle()) + QLatin1Char('\n') +
                         QString::fromStdString(r.format) + QStringLiteral("   Length ") +
                         QString::fromStdString(r.length);
    QRect box = rect().adjusted(12, 12, -12, -12);
    p.setPen(pal.color(QPalette::PlaceholderText));
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

void LKVFileWindow::mousePressEvent(QMouseEvent* event)
{
    emit activated();
    QWidget::mousePressEvent(event);
}

void LKVFileWindow::contextMenuEvent(QContextMenuEvent* event)
{
    emit activated();
    if (contextMenu_)
        contextMenu_->exec(event->globalPos());
}
