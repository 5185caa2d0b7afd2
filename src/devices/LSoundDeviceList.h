#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The texts of the device choosers. Entry n of a list is device number n: 0
// the default device, n >= 1 the platform's device n - 1 by its product name.
namespace LSoundPlayDevice {
std::string Text(int32_t n);  // 0: "[Default Sound Out]"
std::vector<std::string> List();
} // namespace LSoundPlayDevice

namespace LSoundRecordDevice {
std::string Text(int32_t n);  // 0: "[Default Sound In]"
std::vector<std::string> List();
// The input-line chooser of device n: entries for lines -1 .. count - 1, so
// entry i names line i - 1.
std::vector<std::string> InputLines(int32_t n);
} // namespace LSoundRecordDevice

// Where a chooser's selection goes when its list is refilled: the stored index
// when the list still has it, else the first entry.
int32_t LDeviceChoice(int32_t stored, size_t entries);
