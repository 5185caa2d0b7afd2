#pragma once
#include <QDialog>
#include <cstdint>

class QLineEdit;

// "Select Region": a start and an end time, typed as h:mm:ss.mmm (or plain
// seconds, or any shorter form the time fields accept).
class LSelectRegionDlg : public QDialog {
    Q_OBJECT
public:
    LSelectRegionDlg(int32_t startMs, int32_t endMs, QWidget* parent = nullptr);
    int32_t StartMs() const;
    int32_t EndMs() const;

private:
    QLineEdit* start_;
    QLineEdit* end_;
};
