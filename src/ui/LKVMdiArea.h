#pragma once
#include <QMdiArea>

// The frame's area of document windows; while it is empty it says how to get
// a document into it.
class LKVMdiArea : public QMdiArea {
    Q_OBJECT
public:
    explicit LKVMdiArea(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
