#pragma once
#include <QComboBox>
#include <cstdint>
#include <initializer_list>

#include "formats/LEncodeDlgLists.h"

// A drop-down list whose entries carry the value stored when they are chosen.
class LKVChoiceCombo : public QComboBox {
    Q_OBJECT
public:
    explicit LKVChoiceCombo(QWidget* parent = nullptr) : QComboBox(parent) {}

    template <class Choices>
    void SetChoices(const Choices& choices)
    {
        clear();
        for (const LEncodeDlgChoice& c : choices)
            addItem(QString::fromUtf8(c.text), c.value);
    }
    // Entries whose value is their index.
    template <class Names>
    void SetNames(const Names& names)
    {
        clear();
        int32_t i = 0;
        for (const char* n : names)
            addItem(QString::fromUtf8(n), i++);
    }
    // Selects the entry of `value`; a value the list does not offer is added
    // (shown as the number), so a stored setting is never changed by opening.
    void SelectValue(int32_t value);
    int32_t Value() const { return currentData().toInt(); }
};
