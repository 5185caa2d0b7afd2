#pragma once
#include <deque>
#include <vector>

#include "core/LUi.h"

// Test implementation of LUi: records every message and answers from a queue,
// falling back to Ok for plain messages and Cancel/No for questions.
class LScriptedUi : public LUi {
public:
    LScriptedUi() : previous_(&LUiGet()) { LUiSet(this); }
    ~LScriptedUi() override { LUiSet(previous_ == this ? nullptr : previous_); }

    LUiAnswer MessageBox(const LUiMessage& message) override
    {
        messages.push_back(message);
        if (!answers.empty()) {
            LUiAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (message.buttons) {
        case LUiButtons::Ok: return LUiAnswer::Ok;
        case LUiButtons::YesNo: return LUiAnswer::No;
        default: return LUiAnswer::Cancel;
        }
    }

    std::vector<LUiMessage> messages;
    std::deque<LUiAnswer> answers;

private:
    LUi* previous_;
};
