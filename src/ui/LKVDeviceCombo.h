#pragma once
#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

// A device chooser that looks for the sound devices again each time it opens,
// so a device plugged in meanwhile is offered. The entry chosen keeps its
// index where the new list has it (entry 0, the default device, always does).
class LKVDeviceCombo : public QComboBox {
    Q_OBJECT
public:
    // `list` gives the entries, default device first.
    explicit LKVDeviceCombo(std::function<std::vector<std::string>()> list, QWidget* parent = nullptr);
    // Fills the list again (without reporting a change of the chosen entry).
    void Refill();
    void showPopup() override;

signals:
    // The list was filled again; the chosen index may name another device now.
    void refilled();

private:
    std::function<std::vector<std::string>()> list_;
};
