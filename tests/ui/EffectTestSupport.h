#pragma once
// Helpers of the effect dialog tests: controls by id, the buttons, and a
// scripted port that answers the model's dialog requests with fixed values,
// for the reference run of a command without any window.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "ui/LKVEffectDlg.h"

namespace efftest {

template <class T>
T* Control(QWidget& dialog, int id)
{
    T* c = dialog.findChild<T*>(LKVEffectDlg::IdName(id));
    EXPECT_NE(c, nullptr) << "control " << id << " of " << dialog.objectName().toStdString();
    return c;
}

inline void Type(QWidget& dialog, int id, const QString& text)
{
    if (QLineEdit* e = Control<QLineEdit>(dialog, id))
        e->setText(text);
}

inline QString Text(QWidget& dialog, int id)
{
    QLineEdit* e = Control<QLineEdit>(dialog, id);
    return e ? e->text() : QString();
}

inline void Press(QDialog& dialog, QDialogButtonBox::StandardButton which)
{
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

// Runs the event loop until `done` holds; the limit only keeps a broken test
// from hanging.
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 30000)
{
    for (int waited = 0; waited < limitMs; ++waited) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (done())
            return true;
        QThread::msleep(1);
    }
    return false;
}

// The model's dialog requests answered with the values of the next entry of
// `answers`, in the order the request lists them; curves from `curves`.
class ModelUi : public LScriptedUi {
public:
    std::deque<std::vector<int32_t>> answers;
    std::deque<LUiCurve> curves;

    bool AmplifyDialog(int32_t& v) override { return Take(v); }
    bool NormalizeDialog(int32_t& v) override { return Take(v); }
    bool SpeedChangeDialog(const std::string&, int32_t& v) override { return Take(v); }
    bool EchoDialog(int32_t& a, int32_t& b) override { return Take(a, b); }
    bool ReverbDialog(int32_t& a, int32_t& b) override { return Take(a, b); }
    bool HighPassDialog(int32_t& v) override { return Take(v); }
    bool CompressorDialog(const std::vector<std::string>&, int32_t& a, int32_t& b, int32_t& c) override
    {
        return Take(a, b, c);
    }
    bool NoiseReductionDialog(int32_t& v) override { return Take(v); }
    bool SilenceDialog(const std::string&, int32_t& v) override { return Take(v); }
    bool RepeatDialog(int32_t& v) override { return Take(v); }
    bool PasteMixDialog(const std::string&, LUiMixValues& m) override { return Take(m.volume, m.pan, m.mode, m.fadeOutTime); }
    bool EqualizerDialog(LUiCurve& c) override { return TakeCurve(c); }
    bool EnvelopeDialog(LUiEnvelopeValues& v) override { return TakeCurve(v.curve); }

private:
    template <class... T>
    bool Take(T&... out)
    {
        if (answers.empty())
            return false;
        const std::vector<int32_t> a = answers.front();
        answers.pop_front();
        size_t i = 0;
        ((out = i < a.size() ? a[i++] : out), ...);
        return true;
    }
    bool TakeCurve(LUiCurve& c)
    {
        if (curves.empty())
            return false;
        c = curves.front();
        curves.pop_front();
        return true;
    }
};

// Settings that keep playback and questions out of the way.
inline void QuietSettings()
{
    LSettings::WriteBool("Settings", "PlayWhenOpen", false);
    LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", false);
}

} // namespace efftest
