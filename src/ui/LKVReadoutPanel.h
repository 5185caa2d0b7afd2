#pragma once
#include <QFrame>

#include "app/LKVReadouts.h"

class QLabel;

// The current document's times and format: selection start, end and length,
// the position and the document's length, and its rate and channels.
class LKVReadoutPanel : public QFrame {
    Q_OBJECT
public:
    explicit LKVReadoutPanel(QWidget* parent = nullptr);
    void Show(const LKVReadouts& readouts);
    // The texts shown, in the order above (for tests).
    QStringList Texts() const;

private:
    QLabel* values_[6];
};
