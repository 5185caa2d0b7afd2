// The curve editor: mouse and keys over the widget do to its curve what the
// editing model does, and the envelope and equalizer dialogs keep their files.
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "EffectTestSupport.h"
#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "edit/EditTestSupport.h"
#include "edit/LKVFile.h"
#include "effects/PointList.h"
#include "support/TestSupport.h"
#include "ui/LKVBrainWaveWidget.h"

using efftest::Control;
using efftest::Press;
using uitest::DialogScript;

namespace {

// A widget whose curve area is 512 x 256 pixels, and the model it should match.
struct Editor {
    LKVBrainWaveWidget widget;
    LBrainWaveWindow model;
    Editor()
    {
        widget.resize(widget.CurveLeft() + 512 + LKVBrainWaveWidget::kMargin, 256 + 2 * LKVBrainWaveWidget::kMargin);
        model.SetSize(512, 256);
        model.points = PointList::Flat();
        widget.SetPoints(model.points);
    }
    // Sends a mouse event at (x, y) of the curve area.
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const QPointF at(x + widget.CurveLeft(), y + LKVBrainWaveWidget::kMargin);
        QMouseEvent e(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &e);
    }
    void Drag(std::initializer_list<QPoint> path, Qt::MouseButton button = Qt::LeftButton)
    {
        auto it = path.begin();
        Mouse(QEvent::MouseButtonPress, it->x(), it->y(), button, button);
        if (button == Qt::LeftButton)
            model.LeftDown(it->x(), it->y());
        else
            model.RightDown(it->x(), it->y());
        for (++it; it != path.end(); ++it) {
            Mouse(QEvent::MouseMove, it->x(), it->y(), Qt::NoButton, button);
            model.MouseMove(it->x(), it->y(), button == Qt::LeftButton);
        }
        Mouse(QEvent::MouseButtonRelease, (path.end() - 1)->x(), (path.end() - 1)->y(), button, Qt::NoButton);
        model.ButtonUp();
    }
};

} // namespace

TEST(CurveEditor, PressDragAndReleaseGiveTheModelsPoints)
{
    Editor e;
    QSignalSpy positions(&e.widget, &LKVBrainWaveWidget::positionChanged);
    QSignalSpy changes(&e.widget, &LKVBrainWaveWidget::curveChanged);
    // A click adds a point, a drag moves it up to its neighbour's x and off the top.
    e.Drag({{200, 56}});
    e.Drag({{200, 56}, {300, 30}, {600, -50}});
    ASSERT_EQ(e.widget.Points(), e.model.points);
    EXPECT_EQ(e.widget.Points(), PointList::Of({{0, 128}, {255, 255}, {255, 128}}));
    EXPECT_EQ(positions.size(), 2);
    EXPECT_EQ(positions.back(), (QList<QVariant>{255, 255}));
    EXPECT_EQ(changes.size(), 2) << "one per release";
    // The end points keep their x; a right click removes the middle point only.
    e.Drag({{510, 127}, {100, 200}});
    e.Drag({{510, 0}}, Qt::RightButton);
    e.Drag({{2, 127}}, Qt::RightButton);
    ASSERT_EQ(e.widget.Points(), e.model.points);
    EXPECT_EQ(e.widget.Points(), PointList::Of({{0, 128}, {255, 55}}));
    // Hovering reports the point under the mouse.
    e.Mouse(QEvent::MouseMove, 256, 128, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(positions.back(), (QList<QVariant>{128, 127}));
}

TEST(CurveEditor, ClicksStopAt63PointsAndKeysMoveTheSelectedPoint)
{
    Editor e;
    for (int n = 0; n < 70; ++n)
        e.Drag({{8 + 7 * n, n % 2 ? 10 : 240}});
    EXPECT_EQ(e.widget.Points().nPoints, 63);
    EXPECT_EQ(e.widget.Points(), e.model.points);

    Editor k;
    k.Drag({{256, 128}});  // (128, 127), selected
    QSignalSpy changes(&k.widget, &LKVBrainWaveWidget::curveChanged);
    QTest::keyClick(&k.widget, Qt::Key_Up);
    QTest::keyClick(&k.widget, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(k.widget.Points().points[1], (PointList::Point{138, 128}));
    EXPECT_EQ(changes.size(), 2) << "each key released once";
    QTest::keyClick(&k.widget, Qt::Key_PageUp);
    QTest::keyClick(&k.widget, Qt::Key_Right);
    EXPECT_EQ(k.widget.Points().points[0], (PointList::Point{0, 128})) << "the first point stays at 0";
    QTest::keyClick(&k.widget, Qt::Key_PageDown);
    QTest::keyClick(&k.widget, Qt::Key_Delete);
    EXPECT_EQ(k.widget.Points(), PointList::Flat());
}

TEST(CurveEditor, TheGraphDialogsShowReadoutsKeepTheirFilesAndRunWithTheCurve)
{
    efftest::QuietSettings();
    const std::string path = uitest::SoxSine("curve.wav", 8000, 1, 1.0);
    const std::string eqFile = PointList::CurrentFile("equalizer.dat");
    const std::string envFile = PointList::CurrentFile("envelope.dat");
    PointList::Of({{0, 200}, {255, 40}}).Save(envFile);
    struct Graph {
        int32_t command;
        std::string file;
        QString readout;  // of the point (128, 128)
    };
    for (const Graph& g : {Graph{kCmEqualizer, eqFile, "10039 Hz, 100 %"},
                           Graph{kCmEnvelope, envFile, "(0:00:00.50, 100 %)"}}) {
        SCOPED_TRACE(g.file);
        const PointList before = PointList::Load(g.file);
        LKVMainWindow w;
        LKVFile* doc = w.Model().OpenFile(path);
        ASSERT_NE(doc, nullptr);
        w.Model().SetSelection(1000, 7000, 1000);
        PointList edited;
        {
            DialogScript script;
            script.Then([&](QDialog& d) {
                auto* graph = d.findChild<LKVBrainWaveWidget*>();
                ASSERT_NE(graph, nullptr);
                EXPECT_EQ(graph->Points(), before) << "opens on the file's curve";
                graph->resize(graph->CurveLeft() + 512 + LKVBrainWaveWidget::kMargin,
                              256 + 2 * LKVBrainWaveWidget::kMargin);
                const QPointF at(graph->CurveLeft() + 256, LKVBrainWaveWidget::kMargin + 127);
                QMouseEvent move(QEvent::MouseMove, at, graph->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                                 Qt::NoModifier);
                QApplication::sendEvent(graph, &move);
                EXPECT_EQ(graph->Label(), g.readout);
                QTest::mouseClick(graph, Qt::LeftButton, {}, at.toPoint());
                edited = graph->Points();
                EXPECT_EQ(edited.nPoints, 3);
                Press(d, QDialogButtonBox::Ok);
            });
            w.RunCommand(g.command);
        }
        EXPECT_EQ(PointList::Load(g.file), edited) << "the file holds the curve of OK";

        {
            MainDialog reference;
            LKVFile* ref = reference.OpenFile(path);
            reference.SetSelection(1000, 7000, 1000);
            efftest::ModelUi ui;
            ui.curves.push_back(edited.ToUi());
            reference.ExecuteCommand(g.command);
            EXPECT_EQ(test::Frames(doc->audio), test::Frames(ref->audio));
        }

        // Set Flat empties the file, which then holds the flat curve, Cancel or not.
        const std::vector<int32_t> after = test::Frames(doc->audio);
        {
            DialogScript script;
            script.Then([&](QDialog& d) {
                Control<QPushButton>(d, 102)->click();
                EXPECT_EQ(d.findChild<LKVBrainWaveWidget*>()->Points(), PointList::Flat());
                Press(d, QDialogButtonBox::Cancel);
            });
            w.RunCommand(g.command);
        }
        EXPECT_EQ(test::ReadFileBytes(g.file), std::string("\x02\x00\x80\xff\x80", 5));
        EXPECT_EQ(test::Frames(doc->audio), after);
    }
}
