#pragma once
#include <cstdint>
#include <string>

class LProgressDialog;

// Dictation files (".dct"): a header of metadata followed by a complete WAV file,
// which is copied out to `wavPath`. Every damaged header field is refused with its
// own message, shown in a box over `dialog`. Returns 0 done, 1 cancelled, 2 failed.
int32_t LDCTDecode(LProgressDialog& dialog, const std::string& input, const std::string& wavPath);
