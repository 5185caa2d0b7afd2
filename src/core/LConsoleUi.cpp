#include "core/LConsoleUi.h"

#include <cstdio>

LUiAnswer LConsoleUi::MessageBox(const LUiMessage& message)
{
    LUiAnswer answer = LUiAnswer::Ok;
    switch (message.buttons) {
    case LUiButtons::Ok: answer = LUiAnswer::Ok; break;
    case LUiButtons::OkCancel: answer = assumeYes_ ? LUiAnswer::Ok : LUiAnswer::Cancel; break;
    case LUiButtons::YesNo: answer = assumeYes_ ? LUiAnswer::Yes : LUiAnswer::No; break;
    case LUiButtons::YesNoCancel: answer = assumeYes_ ? LUiAnswer::Yes : LUiAnswer::Cancel; break;
    case LUiButtons::RetryCancel: answer = LUiAnswer::Cancel; break;
    }
    if (!quiet_ || message.buttons != LUiButtons::Ok) {
        // Message texts use Windows line breaks; show each as one line break.
        std::string text;
        for (size_t i = 0; i < message.text.size(); ++i) {
            char c = message.text[i];
            if (c == '\r') {
                text += '\n';
                if (i + 1 < message.text.size() && message.text[i + 1] == '\n')
                    ++i;
            } else {
                text += c;
            }
        }
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), text.c_str());
    }
    return answer;
}
