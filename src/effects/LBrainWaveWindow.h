#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "effects/PointList.h"

// The editing model of the curve control that the envelope and equalizer
// dialogs show: maps between the 0..255 point scale and pixels, finds the point
// under the mouse, and inserts, drags and deletes points. The widget feeds it
// mouse events and acts on what each event returns (messages for the parent,
// repaint, cursor). Qt-free; used on the user-interface thread.
class LBrainWaveWindow {
public:
    enum : int32_t {
        kMsgPosition = 1044,  // user message 20: a point position (x, y) for a readout
        kMsgChanged = 1045,   // user message 21: a button was released, the curve may have changed
    };
    static constexpr int32_t kInsertLimit = 63;  // clicks add points only below this count
    static constexpr int32_t kHitUnits = 4;      // hit tolerance on the 0..255 scale

    enum class Cursor : uint8_t { Arrow, Hand };

    struct Notify {
        int32_t message;
        int32_t x;  // 0..255
        int32_t y;  // 0..255
        friend bool operator==(const Notify&, const Notify&) = default;
    };
    // What an event asks of the widget.
    struct Result {
        std::vector<Notify> notify;
        bool repaint = false;
        int32_t repaintLeft = 0;   // pixels, when repaint is set
        int32_t repaintRight = 0;
        Cursor cursor = Cursor::Arrow;
    };

    PointList points;
    int32_t selected = 0;  // always names a point while the list has any
    bool hover = false;    // the mouse is over a point
    bool captured = false;
    std::string label;     // drawn at the top right

    // Client size in pixels: the width is kept within 1..2048, the height at least 1.
    void SetSize(int32_t width, int32_t height);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    int32_t PixelX(int32_t x) const { return int32_t((int64_t(x) * width_) >> 8); }
    int32_t PixelY(int32_t y) const { return int32_t((int64_t(255 - y) * height_) >> 8); }
    // A mouse position to the 0..255 scale, clamped.
    int32_t PointX(int32_t mouseX) const;
    int32_t PointY(int32_t mouseY) const;
    // The first point within kHitUnits of (x, y) on both axes, or -1.
    int32_t HitTest(int32_t x, int32_t y) const;

    // Mouse events in pixels.
    Result LeftDown(int32_t mouseX, int32_t mouseY);
    Result MouseMove(int32_t mouseX, int32_t mouseY, bool leftHeld);
    Result RightDown(int32_t mouseX, int32_t mouseY);
    Result ButtonUp();

    // Keyboard access for the selected point. Nudge moves it by (dx, dy) units
    // with the clamps of a drag and reports the position; KeyUp then reports
    // the change (once per run of nudges, so a held key does not restart a
    // preview at every repeat). SelectStep selects the next (+1) or previous
    // (-1) point; RemoveSelected deletes the selected point unless it is the
    // first or the last, as a right click on it would, and KeyUp reports it.
    // InsertAfterSelected adds a point halfway between the selected point and
    // the next one (the previous one for the last point) and selects it, under
    // the same limit as a click.
    Result Nudge(int32_t dx, int32_t dy);
    Result KeyUp();
    Result SelectStep(int32_t step);
    Result RemoveSelected();
    Result InsertAfterSelected();

    // The envelope dialog's readout "(h:mm:ss.cc, p %)": the time of the
    // selection start plus x / 255 of its length, and y * 200 / 255 percent.
    static std::string EnvelopeReadout(int32_t x, int32_t y, int32_t selectionStartMs, int32_t selectionLengthMs);
    // The equalizer dialog's readout "f Hz, p %": x * 20000 / 255 Hz, y * 200 / 256 percent.
    static std::string EqualizerReadout(int32_t x, int32_t y);

private:
    Result Repaint(int32_t index, Result r) const;
    // Moves the selected point to (x, y) within its neighbours' x; returns its new x.
    int32_t MoveSelectedTo(int32_t x, int32_t y);
    Result RemovePoint();
    Result InsertAt(int32_t at, int32_t x, int32_t y);
    bool SelectedIsValid() const { return selected >= 0 && selected < points.nPoints; }

    int32_t width_ = 256;
    int32_t height_ = 256;
    bool keyChange_ = false;  // a key changed the curve since the last KeyUp
};
