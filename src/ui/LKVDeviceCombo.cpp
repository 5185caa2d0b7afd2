#include "ui/LKVDeviceCombo.h"

#include <QSignalBlocker>

#include "devices/LAudioDevices.h"
#include "devices/LSoundDeviceList.h"

LKVDeviceCombo::LKVDeviceCombo(std::function<std::vector<std::string>()> list, QWidget* parent)
    : QComboBox(parent), list_(std::move(list))
{
    Refill();
}

void LKVDeviceCombo::Refill()
{
    const QSignalBlocker block(this);
    const int chosen = currentIndex();
    clear();
    for (const std::string& d : list_())
        addItem(QString::fromStdString(d));
    setCurrentIndex(LDeviceChoice(std::max(chosen, 0), size_t(count())));
}

void LKVDeviceCombo::showPopup()
{
    LAudioDevices::Rescan();
    Refill();
    emit refilled();
    QComboBox::showPopup();
}
