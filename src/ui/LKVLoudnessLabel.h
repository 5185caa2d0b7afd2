#pragma once
#include <QLabel>

#include "devices/LLoudnessReading.h"

// The live loudness read-out beside a level meter: "M −23.0  S −22.8 LUFS",
// as wide as its widest text so that the meter beside it keeps its size.
class LKVLoudnessLabel : public QLabel {
    Q_OBJECT
public:
    // `what` ends the tooltip: "heard" or "recorded".
    explicit LKVLoudnessLabel(const QString& what, QWidget* parent = nullptr);
    void SetReading(const LLoudnessReading& reading);
    // Back to silence (a new playback or take).
    void Clear() { SetReading(LLoudnessReading{}); }
};
