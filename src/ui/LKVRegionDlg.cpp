#include "ui/LKVRegionDlg.h"

#include <QPushButton>

#include "app/MainDialog.h"
#include "ui/LCDBurnDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LQtUi.h"

LKVRegionDlg::LKVRegionDlg(MainDialog& model, QWidget* parent)
    : LKVListWindow(QStringLiteral("RegionDlg"), QStringLiteral("Regions"),
                    {QStringLiteral("Name"), QStringLiteral("Time"), QStringLiteral("File")}, parent),
      model_(model)
{
    play_ = AddCommand(QStringLiteral("&Play"), "play", Needs::OneRow, [this] { PlayOrStop(); });
    AddCommand(QStringLiteral("&Go To"), "goTo", Needs::OneRow,
               [this] { OnRow([](MainDialog& m, size_t i) { m.GoToRegion(i); }); });
    AddGap();
    AddCommand(QStringLiteral("&Rename..."), "rename", Needs::OneRow,
               [this] { OnRow([](MainDialog& m, size_t i) { m.RenameRegion(i); }); });
    AddCommand(QStringLiteral("&Delete"), "delete", Needs::Selection, [this] { model_.DeleteRegions(SelectedRows()); },
               QKeySequence::Delete);
    AddCommand(QStringLiteral("Delete &All"), "deleteAll", Needs::Rows, [this] { model_.DeleteAllRegions(); });
    AddGap();
    AddCommand(QStringLiteral("&Save..."), "save", Needs::OneRow,
               [this] { OnRow([](MainDialog& m, size_t i) { m.SaveRegion(i); }); });
    AddCommand(QStringLiteral("&Export..."), "export", Needs::Selection,
               [this] { model_.ExportRegions(SelectedRows()); });
    AddCommand(QStringLiteral("Copy to &New File"), "copyToNew", Needs::OneRow,
               [this] { OnRow([](MainDialog& m, size_t i) { m.CopyRegionToNew(i); }); });
    AddCommand(QStringLiteral("Copy to &CD..."), "copyToCD", Needs::Selection, [this] {
        LCDBurnDlgModel burn;
        if (model_.RegionsToCD(SelectedRows(), burn)) {
            LCDBurnDlg dialog(burn, this);
            LKVExec(dialog);
        }
    });
    AddGap();
    AddCommand(QStringLiteral("Asse&mble..."), "assemble", Needs::Rows, 
               [this] { model_.CmAssembleRegions(SelectedRows()); });
    AddCloseButton();
    SetDefaultCommand([this] { OnRow([](MainDialog& m, size_t i) { m.GoToRegion(i); }); });
    Refresh();
    TransportChanged();
}

void LKVRegionDlg::OnRow(void (*command)(MainDialog&, size_t))
{
    if (const int row = CommandRow(); row >= 0)
        command(model_, size_t(row));
}

void LKVRegionDlg::PlayOrStop()
{
    if (playing_) {
        model_.StopRegion();
    } else if (const int row = CommandRow(); row >= 0) {
        model_.PlayRegion(size_t(row));
        playing_ = (model_.PlayerState() & LPlayerPort::kActive) != 0 && !model_.PlayingFile();
    }
    TransportChanged();
}

void LKVRegionDlg::TransportChanged()
{
    // Anything else the player starts (a document, a scan) ends the region's playing.
    if ((model_.PlayerState() & LPlayerPort::kActive) == 0 || model_.PlayingFile())
        playing_ = false;
    play_->setText(playing_ ? QStringLiteral("S&top") : QStringLiteral("&Play"));
    UpdateCommands();
}

void LKVRegionDlg::UpdateCommands()
{
    LKVListWindow::UpdateCommands();
    // Stop stays available without a selection.
    if (play_ && playing_)
        play_->setEnabled(true);
}

void LKVRegionDlg::Refresh()
{
    std::vector<QStringList> rows;
    for (const LKVRegion& r : model_.Regions())
        rows.push_back({QString::fromStdString(r.name), QString::fromStdString(r.RangeText()),
                        QString::fromStdString(r.FileText())});
    Fill(rows);
}
