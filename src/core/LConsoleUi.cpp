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
        std::string text = message.text;
        for (char& c : text)
            if (c == '\r')
                c = '\n';
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), text.c_str());
    }
    return answer;
}
