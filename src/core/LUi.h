#pragma once
#include <cstdint>
#include <string>

// Buttons and icons of a message box; answers use the platform's historic ids
// because scripts and tests refer to them by number.
enum class LUiButtons : uint8_t { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class LUiIcon : uint8_t { None, Information, Exclamation, Question, Stop };
enum class LUiAnswer : int32_t { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

// The values edited by the raw-audio settings dialog "LRawDlg": sample rate in Hz,
// channels (1 or 2) and the index of the coding in the dialog's list.
struct LUiRawAudioSettings {
    uint32_t sampleRate = 44100;
    uint8_t channels = 1;
    uint8_t codec = 3;
};

// The encoder options the encoder dialogs edit; defined with the encoders
// (formats/L*EncoderSettings.h), which is where every caller of these requests is.
struct LMp3EncoderSettings;
struct LOggEncoderSettings;
struct LFlacEncoderSettings;
struct LAACEncoderSettings;

struct LUiMessage {
    std::string text;
    std::string caption;
    LUiButtons buttons = LUiButtons::Ok;
    LUiIcon icon = LUiIcon::None;
};

// The user-interface port. Lower layers reach the user only through it: the GUI
// implements it with dialogs, the command-line tool on the terminal, tests with
// scripted answers. Later layers add their dialog requests here as virtual
// functions whose base version answers "cancelled".
// Called on the user-interface thread only.
class LUi {
public:
    virtual ~LUi() = default;
    virtual LUiAnswer MessageBox(const LUiMessage& message) = 0;

    LUiAnswer Message(const std::string& text, const std::string& caption,
                      LUiButtons buttons = LUiButtons::Ok, LUiIcon icon = LUiIcon::None)
    {
        return MessageBox({text, caption, buttons, icon});
    }

    // The raw-audio settings dialog "LRawDlg" for the settings section `section`
    // ("RawAudio" or "VoxAudio"), opened on `settings`. Its OK button calls
    // LRawSettings::DialogOk (formats), which checks the typed rate, stores the
    // values and fills `settings`. True on OK; the base answers cancelled.
    virtual bool RawSettingsDialog(const std::string& section, LUiRawAudioSettings& settings)
    {
        (void)section;
        (void)settings;
        return false;
    }

    // The encoder option dialogs "LMp3EncodeDlg", "OggEncodeDlg", "FlacEncodeDlg"
    // and "AACEncodeDlg", opened on the given settings, offering the lists of the
    // settings types and a button that restores a default-constructed value. True
    // on OK with the settings filled in; the caller stores them. The base answers
    // cancelled.
    virtual bool Mp3EncodeDialog(LMp3EncoderSettings& /*settings*/) { return false; }
    virtual bool OggEncodeDialog(LOggEncoderSettings& /*settings*/) { return false; }
    virtual bool FlacEncodeDialog(LFlacEncoderSettings& /*settings*/) { return false; }
    virtual bool AACEncodeDialog(LAACEncoderSettings& /*settings*/) { return false; }
};

// The process-wide port; a console implementation until something else is set.
LUi& LUiGet();
// Installs `ui` (not owned); nullptr restores the console implementation.
void LUiSet(LUi* ui);
