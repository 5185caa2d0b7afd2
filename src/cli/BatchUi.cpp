#include "cli/BatchUi.h"

#include "core/LConsoleProgress.h"

BatchUi::BatchUi(bool quietProgress) : console_(std::make_unique<LConsoleProgress>(quietProgress))
{
    LUiSet(this);
    LProgressSetBackend(this);
}

BatchUi::~BatchUi()
{
    LProgressSetBackend(nullptr);
    LUiSet(nullptr);
}

LUiAnswer BatchUi::MessageBox(const LUiMessage& message)
{
    if (message.buttons != LUiButtons::Ok)
        return LConsoleUi::MessageBox(message);
    held_.push_back(message);
    return LUiAnswer::Ok;
}

std::unique_ptr<LProgressWindow> BatchUi::Open(const std::string& title)
{
    lastJob_ = title;
    return console_->Open(title);
}

void BatchUi::BeginFile()
{
    held_.clear();
    lastJob_.clear();
}

void BatchUi::ShowHeld()
{
    for (const LUiMessage& message : held_)
        LConsoleUi::MessageBox(message);
    held_.clear();
}

std::string BatchUi::FailureReason()
{
    std::string reason;
    for (const LUiMessage& message : held_)
        reason += (reason.empty() ? "" : "\n") + TerminalText(message.text);
    held_.clear();
    if (reason.empty())
        reason = lastJob_.empty() ? "it could not be started" : "the step \"" + lastJob_ + "\" failed and gave no reason";
    return reason;
}
