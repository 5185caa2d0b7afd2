#include "ui/LKVTransportBar.h"

#include <QAction>
#include <QToolButton>

#include "app/LKVCommands.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVVolumeControl.h"

namespace {

struct ButtonSpec {
    int32_t id;  // 0: the scrub button
    const char* icon;
    const char* tip;
};
// The order of the buttons on the bar.
constexpr ButtonSpec kButtons[] = {
    {kCmPlay, "play", "Play (F9)"},           {0, "scrub", "Scrub"},
    {kCmStop, "stop-active", "Stop (Esc)"},   {kCmGoToStart, "start", "Go to Start (Home)"},
    {kCmRewind, "rewind", "Rewind (F7)"},     {kCmFastForward, "forward", "Forward (F8)"},
    {kCmGoToEnd, "end", "Go to End (End)"},   {kCmRecord, "record", "Record (F5)"},
};

} // namespace

LKVTransportBar::LKVTransportBar(const std::map<int32_t, QAction*>& actions, QAction* scrub, QWidget* parent)
    : QToolBar(QStringLiteral("Transport"), parent)
{
    setObjectName(QStringLiteral("TransportBar"));
    setIconSize(QSize(24, 24));
    setMovable(false);
    for (const ButtonSpec& b : kButtons) {
        QAction* a = b.id ? actions.at(b.id) : scrub;
        a->setIcon(LKVIcon(QString::fromUtf8(b.icon)));
        a->setToolTip(QString::fromUtf8(b.tip));
        addAction(a);
        actions_[b.id] = a;
    }
    addSeparator();
    volume_ = new LKVVolumeControl;
    addWidget(volume_);
    SetPlaying(false);
}

void LKVTransportBar::SetPlaying(bool playing)
{
    if (playing == playing_)
        return;
    playing_ = playing;
    actions_[kCmPlay]->setIcon(LKVIcon(playing ? QStringLiteral("play-active") : QStringLiteral("play")));
    actions_[kCmStop]->setIcon(LKVIcon(playing ? QStringLiteral("stop") : QStringLiteral("stop-active")));
}

QToolButton* LKVTransportBar::Button(int32_t id) const
{
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : qobject_cast<QToolButton*>(widgetForAction(it->second));
}
