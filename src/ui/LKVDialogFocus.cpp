#include "ui/LKVDialogFocus.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <tuple>
#include <vector>

namespace {

// Widgets that take the keyboard themselves, whatever children they have.
bool IsControl(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QAbstractButton*>(w);
}

bool IsValueField(const QWidget* w)
{
    if (const auto* e = qobject_cast<const QLineEdit*>(w))
        return !e->isReadOnly();
    if (const auto* s = qobject_cast<const QAbstractSpinBox*>(w))
        return !s->isReadOnly();
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w);
}

void Collect(const QLayout* layout, std::vector<QWidget*>& out);

void CollectWidget(QWidget* w, std::vector<QWidget*>& out)
{
    if (w->isHidden())
        return;
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        out.push_back(tabs);
        if (QWidget* page = tabs->currentWidget(); page && page->layout())
            Collect(page->layout(), out);
        return;
    }
    if (IsControl(w) || !w->layout()) {
        if (w->focusPolicy() & Qt::TabFocus)
            out.push_back(w);
        return;
    }
    if (auto* area = qobject_cast<QScrollArea*>(w)) {
        if (area->widget() && area->widget()->layout())
            Collect(area->widget()->layout(), out);
        return;
    }
    // A box of controls (a group box, a composite control): the box when it
    // takes the keyboard itself, then what it holds.
    if (w->focusPolicy() & Qt::TabFocus)
        out.push_back(w);
    Collect(w->layout(), out);
}

void CollectItem(QLayoutItem* item, std::vector<QWidget*>& out)
{
    if (QWidget* w = item->widget())
        CollectWidget(w, out);
    else if (const QLayout* l = item->layout())
        Collect(l, out);
}

void Collect(const QLayout* layout, std::vector<QWidget*>& out)
{
    // A grid holds its items in the order they were added: put them in rows.
    if (const auto* grid = qobject_cast<const QGridLayout*>(layout)) {
        std::vector<std::tuple<int, int, int>> cells;
        for (int i = 0; i < grid->count(); ++i) {
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(i, &row, &column, &rows, &columns);
            cells.emplace_back(row, column, i);
        }
        std::stable_sort(cells.begin(), cells.end());
        for (const auto& [row, column, i] : cells)
            CollectItem(grid->itemAt(i), out);
        return;
    }
    for (int i = 0; i < layout->count(); ++i)
        CollectItem(layout->itemAt(i), out);
}

} // namespace

void LKVFocusFirstField(QWidget& dialog)
{
    if (dialog.focusWidget() || !dialog.layout())
        return;
    std::vector<QWidget*> order;
    Collect(dialog.layout(), order);
    const auto first = std::find_if(order.begin(), order.end(),
                                     [&dialog](QWidget* w) { return IsValueField(w) && w->isEnabledTo(&dialog); });
    if (first == order.end())
        return;
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    QWidget* field = *first;
    field->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field))
        spin->selectAll();
    else if (auto* box = qobject_cast<QComboBox*>(field); box && box->lineEdit())
        box->lineEdit()->selectAll();
}
