#pragma once
#include <QString>
#include <string>
#include <vector>

class LKVMainWindow;
class QWidget;

// Writes pictures of the frame, its menus and every dialog into a folder, for
// looking at the program without a screen (kelvane --screenshots DIR [FILE]).
class LKVScreenshots {
public:
    LKVScreenshots(LKVMainWindow& window, const std::string& folder);
    // Opens `args` (a file) first; returns the exit status (0: every picture written).
    int Run(const std::vector<std::string>& args);

private:
    bool Save(QWidget& widget, const QString& name);
    void Menus();

    LKVMainWindow& window_;
    QString folder_;
    int failures_ = 0;
};
