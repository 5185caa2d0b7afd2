#include "ui/LKVChoiceCombo.h"

void LKVChoiceCombo::SelectValue(int32_t value)
{
    int index = findData(value);
    if (index < 0) {
        addItem(QString::number(value), value);
        index = count() - 1;
    }
    setCurrentIndex(index);
}
