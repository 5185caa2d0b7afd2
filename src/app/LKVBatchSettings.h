#pragma once
#include <cstdint>

#include "app/LKVBatchCatalogue.h"

// The Settings button of the batch command list: the command's values edited in
// the dialog its interactive command uses, through LUi. The dialog opens on the
// command's own data when it holds the whole layout, else on the stored values;
// on OK the data becomes exactly the layout's size, filled with what was typed.
// The stored values themselves are left alone: they stay what commands without
// data of their own run with.
class LKVBatchSettings {
public:
    // Whether the command has values to edit (Auto Trim, Automatic Gain Control
    // and indexes of 18 or more have none).
    static bool HasSettings(uint32_t index);
    // True when the user confirmed new values; false for a cancel or a command
    // without settings (the command is then unchanged).
    static bool Edit(LKVCommand& command);
    // Fills the command's data with `values` in catalogue order, each stored in
    // its field's size (little-endian). Curve fields are not set here.
    static void SetValues(LKVCommand& command, const std::vector<int32_t>& values);
};
