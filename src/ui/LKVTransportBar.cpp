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
        actions_[b.id] = a;
        if (b.id == kCmRewind || b.id == kCmFastForward)
            addWidget(ScanButton(a, b.id == kCmFastForward));
        else
            addAction(a);
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

QToolButton* LKVTransportBar::ScanButton(QAction* command, bool forward)
{
    // A button of its own rather than the command's: a click must not also
    // run the one-step command.
    auto* button = new QToolButton;
    button->setObjectName(forward ? QStringLiteral("forwardButton") : QStringLiteral("rewindButton"));
    button->setIcon(command->icon());
    button->setToolTip(command->toolTip());
    button->setStatusTip(command->statusTip());
    button->setIconSize(iconSize());
    button->setAutoRaise(true);
    button->setEnabled(command->isEnabled());
    connect(command, &QAction::changed, button, [button, command] { button->setEnabled(command->isEnabled()); });
    connect(button, &QToolButton::pressed, this, [this, forward] { emit scanPressed(forward); });
    connect(button, &QToolButton::released, this, [this, forward] { emit scanReleased(forward); });
    scanButtons_[forward ? kCmFastForward : kCmRewind] = button;
    return button;
}

QToolButton* LKVTransportBar::Button(int32_t id) const
{
    if (auto scan = scanButtons_.find(id); scan != scanButtons_.end())
        return scan->second;
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : qobject_cast<QToolButton*>(widgetForAction(it->second));
}
