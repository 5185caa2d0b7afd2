#include "core/LConsoleUi.h"

#include <cstdio>
#include <string>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

void AppendEscaped(std::string& out, char c)
{
    switch (c) {
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default: {
        static const char kHex[] = "0123456789abcdef";
        const auto b = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    }
}

} // namespace

std::string LConsoleUi::TerminalText(const std::string& text)
{
    // Message texts use Windows line breaks; show each as one line break.
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (IsControl(c) && c != '\n' && c != '\t') {
            AppendEscaped(out, c);
        } else {
            out += c;
        }
    }
    return out;
}

std::string LConsoleUi::Escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (IsControl(c))
            AppendEscaped(out, c);
        else
            out += c;
    }
    return out;
}

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
    if (!quiet_ || message.buttons != LUiButtons::Ok)
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), TerminalText(message.text).c_str());
    return answer;
}

bool LConsoleUi::RawSettingsDialog(const std::string& section, LUiRawAudioSettings& settings)
{
    // What the dialog's fields accept.
    if (settings.sampleRate < 6000 || settings.sampleRate > 196000) {
        MessageBox({"The setting \"SampleRate\" of \"" + section + "\" is " +
                        std::to_string(int32_t(settings.sampleRate)) +
                        " Hz; a headerless file's rate must be between 6000 and 196000.",
                    "Error", LUiButtons::Ok, LUiIcon::Stop});
        return false;
    }
    if (settings.codec >= kRawCodings) {
        MessageBox({"The setting \"Codec\" of \"" + section + "\" is " + std::to_string(settings.codec) +
                        "; a headerless file's coding is one of 0 to " +
                        std::to_string(kRawCodings - 1) + ".",
                    "Error", LUiButtons::Ok, LUiIcon::Stop});
        return false;
    }
    return true;
}
