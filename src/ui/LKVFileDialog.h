#pragma once
#include <QFileDialog>
#include <string>

#include "core/LUi.h"

// The open and save dialogs of the program: Qt's own file dialog (the same on
// every desktop, and scriptable in tests) with the request's type list shown by
// its descriptions.
class LKVFileDialog : public QFileDialog {
    Q_OBJECT
public:
    LKVFileDialog(const LUiFileRequest& request, QWidget* parent);

    // The chosen path. For a save, a name typed without an extension gets the
    // chosen type's first one ("name" with "Wave Files (*.wav)" is "name.wav").
    std::string ChosenPath() const;

    // Opens the dialog for `request`; true with the chosen path.
    static bool Ask(const LUiFileRequest& request, std::string& path);
    // The Qt filter of one type-list entry: its description, then its patterns.
    static QString NameFilter(const LUiFileFilter& filter);

    // The type the dialog would save as: the typed name's extension, else the
    // chosen type's first one.
    std::string ChosenExtension() const;

private:
    void AddOptionsButton();
    // The list's columns wide enough for what they show.
    void FitColumns();
    // The index of the chosen type in the request's list, or -1.
    int SelectedFilterIndex() const;

    LUiFileRequest request_;
};
