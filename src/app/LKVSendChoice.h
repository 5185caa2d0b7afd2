#pragma once
#include <string>

// What the send dialog asks before a file goes straight to the mail server:
// the recipient and the subject (the file's name at first).
struct LKVSendChoice {
    std::string to;
    std::string subject;
};
