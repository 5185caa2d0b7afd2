#include "ui/LPlayDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/LKVAppInfo.h"

LPlayDlg::LPlayDlg(std::vector<LPlayerTrack> tracks, size_t current, QWidget* parent) : LPlayerBaseDlg(parent)
{
    setObjectName(QStringLiteral("LPlayDlg"));
    TransportButton(kStart)->setToolTip(QStringLiteral("Go to Start / Previous Track (Home/PgUp)"));
    next_ = new QToolButton;
    next_->setObjectName(QStringLiteral("nextTrack"));
    next_->setIcon(LKVIcon(QStringLiteral("next-track")));
    next_->setIconSize(QSize(24, 24));
    next_->setToolTip(QStringLiteral("Next Track (PgDn)"));
    next_->setFocusPolicy(Qt::NoFocus);
    connect(next_, &QToolButton::clicked, this, [this] { Model().NextTrack(); });
    TransportRow()->insertWidget(kEnd + 1, next_);
    track_ = new QLabel;
    track_->setObjectName(QStringLiteral("track"));
    track_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Body()->addWidget(track_);
    new QShortcut(QKeySequence(Qt::Key_PageUp), this, [this] { Model().PreviousTrack(); });
    new QShortcut(QKeySequence(Qt::Key_PageDown), this, [this] { Model().NextTrack(); });
    Model().SetTracks(std::move(tracks), current);
    ShowTrack();
}

void LPlayDlg::ButtonClicked(Button b)
{
    if (b == kStart)
        Model().PreviousTrack();
    else
        LPlayerBaseDlg::ButtonClicked(b);
}

void LPlayDlg::PlayerPositionChanged()
{
    if (Model().CurrentTrack() != shownTrack_ && Model().Track())
        ShowTrack();
    LPlayerBaseDlg::PlayerPositionChanged();
}

void LPlayDlg::ShowTrack()
{
    shownTrack_ = Model().CurrentTrack();
    const LPlayerTrack* t = Model().Track();
    const QString name = t ? QString::fromStdString(t->name) : QString();
    setWindowTitle(t ? QStringLiteral("Player - %1").arg(name) : QStringLiteral("Player"));
    track_->setText(t ? QStringLiteral("Track %1 of %2:  %3")
                            .arg(shownTrack_ + 1)
                            .arg(Model().TrackCount())
                            .arg(name)
                      : QString());
    next_->setEnabled(shownTrack_ + 1 < Model().TrackCount());
    TrackChanged();
}

QString LPlayDlg::TrackShown() const { return track_->text(); }
