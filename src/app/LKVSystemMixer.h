#pragma once
#include <string>
#include <vector>

// The desktop's own mixer for the recording levels: pavucontrol on its input
// devices page when it is installed, else alsamixer's capture view in a
// terminal emulator. Empty when neither can be run.
namespace LKVSystemMixer {
inline constexpr const char* kNotFoundMessage =
    "No system mixer was found. Install pavucontrol, or alsamixer and a terminal emulator, "
    "to set the recording levels of your sound card.";
// The program and its arguments (argv[0] a full path).
std::vector<std::string> Command();
} // namespace LKVSystemMixer
