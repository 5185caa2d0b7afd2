#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

// A curve of up to 64 (x, y) byte points, as the envelope and equalizer dialogs edit it.
struct LUiCurve {
    uint8_t nPoints = 0;
    std::array<std::array<uint8_t, 2>, 64> points{};
};

// What the envelope dialog edits: the curve, and the selection it spans (for the
// time readout), in milliseconds.
struct LUiEnvelopeValues {
    LUiCurve curve;
    int32_t selectionStartMs = 0;
    int32_t selectionLengthMs = 0;
};

// One entry of a list the user picks from (the WAV format chooser).
struct LUiChoice {
    std::string name;    // e.g. "IMA ADPCM"
    std::string detail;  // e.g. "44100 Hz, 4 Bit, Stereo, 176 kb/sec"
};

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

    // Effect dialogs. Each opens on the stored values passed in and, on OK, has
    // checked them with the dialog's check and returns them; true on OK. The
    // base answers cancelled.
    // "LKVAmplifyDlg": gain in percent.
    virtual bool AmplifyDialog(int32_t& gainPercent)
    {
        (void)gainPercent;
        return false;
    }
    // "LKVNormalizeDlg": peak level in percent of full scale.
    virtual bool NormalizeDialog(int32_t& peakLevelPercent)
    {
        (void)peakLevelPercent;
        return false;
    }
    // The envelope dialog (graph editor, "Set Flat"; no preview).
    virtual bool EnvelopeDialog(LUiEnvelopeValues& values)
    {
        (void)values;
        return false;
    }
    // "LKVSpeedChangeDlg": `caption` is the command name, which picks the mode
    // and the field label; the percent is 100 for no change.
    virtual bool SpeedChangeDialog(const std::string& caption, int32_t& percent)
    {
        (void)caption;
        (void)percent;
        return false;
    }

    // The WAV format chooser titled `title`: the user picks one of `choices`
    // (`chosen` starts at the current one, or -1). True on OK with `chosen` set;
    // the base answers cancelled.
    virtual bool WaveFormatChooser(const std::string& /*title*/, const std::vector<LUiChoice>& /*choices*/,
                                   int32_t& /*chosen*/)
    {
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
