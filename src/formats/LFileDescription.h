#pragma once
#include <string>

// One line describing a sound file, as kelvane-batch --info prints it: the name,
// rate, channels, length and coding, or the message the opener would show. The
// length is the one a conversion of the file gives. Control characters in the
// name are escaped, so the line stays one line. False when the file cannot be
// opened (`line` then holds the message).
bool LDescribeFile(const std::string& path, std::string& line);
