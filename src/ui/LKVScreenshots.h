#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

class LKVMainWindow;
class QWidget;

// Writes pictures of the frame, its menus and every dialog into a folder, for
// looking at the program without a screen (kelvane --screenshots DIR [FILE]).
class LKVScreenshots {
public:
    LKVScreenshots(LKVMainWindow& window, const std::string& folder);
    // Opens the first of `args` (a file) as the command line would; returns the
    // exit status (0: every picture written). With two more files, a speech and a
    // stereo music recording, also pictures their document windows zoomed, in
    // both display modes, magnified, with a selection, and the spectrum window.
    int Run(const std::vector<std::string>& args);

private:
    bool Save(QWidget& widget, const QString& name);
    void Menus();
    void Documents(const std::string& speech, const std::string& music);
    // Bookmarks and regions of the current document, their windows and the
    // assemble and project dialogs.
    void ListWindows();
    // The CD dialog over the first virtual drive, the results of importing two
    // of its tracks, and the frame with them as documents.
    void CdRipper();
    // Saves the frame once the current document's views are drawn.
    void SaveDocument(const QString& name);
    // Opens a dialog through `open` and pictures it as "name.png" (one picture
    // per page of a dialog with pages).
    void Dialog(const QString& name, const std::function<void()>& open);
    // The dialog of `command` as it looks while sound comes through: its level
    // meters and loudness read-outs showing a typical programme.
    void Metering(const QString& name, int32_t command);

    LKVMainWindow& window_;
    QString folder_;
    int failures_ = 0;
};
