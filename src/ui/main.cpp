// The editor: one instance per user, a frame with its documents, the Qt ports.
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/LSettingsTable.h"
#include "core/LProcess.h"
#include "core/LSettings.h"
#include "core/LVersion.h"
#include "devices/LPlayerDevice.h"
#include "edit/LAudioCutTank.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVMainWindow.h"
#include "ui/LKVPorts.h"
#include "ui/LKVScreenshots.h"
#include "ui/LKVSingleInstance.h"

namespace {

constexpr int kExitNoDisplay = 2;

[[noreturn]] void NoDisplay()
{
    std::fputs("kelvane: no display found; to run it without one set QT_QPA_PLATFORM=offscreen, "
               "and use kelvane-batch to convert files from a terminal\n",
               stderr);
    std::fflush(stderr);
    ::_exit(kExitNoDisplay);
}

// Runs a call once, when the frame is first exposed: by then the window manager
// has placed and sized it (a maximized frame is maximized), so a question asked
// then is centred on the frame as the user sees it, not on where it was before.
// A frame that is never exposed (started minimized) gets the call after a while.
class LFirstExpose : public QObject {
public:
    LFirstExpose(QWidget& window, std::function<void()> call) : QObject(&window), call_(std::move(call))
    {
        if (QWindow* handle = window.windowHandle(); handle && !handle->isExposed())
            handle->installEventFilter(this);
        else
            QTimer::singleShot(0, this, [this] { Run(); });
        QTimer::singleShot(kLatestMs, this, [this] { Run(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // After the expose is handled, and the frame painted.
            QTimer::singleShot(0, this, [this] { Run(); });
        }
        return false;
    }

private:
    static constexpr int kLatestMs = 3000;
    void Run()
    {
        if (!call_)
            return;
        const std::function<void()> call = std::move(call_);
        call_ = nullptr;
        call();
    }
    std::function<void()> call_;
};

bool EnvSet(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v;
}

// Whether Qt will find a screen: a platform chosen by hand (offscreen, vnc...)
// needs none; the desktop platforms need their display variable.
bool HaveDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) {
        if (std::strncmp(platform, "xcb", 3) == 0)
            return EnvSet("DISPLAY");
        if (std::strncmp(platform, "wayland", 7) == 0)
            return EnvSet("WAYLAND_DISPLAY");
        return true;
    }
    return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY");
}

// A display that is named but cannot be reached makes Qt give up with a fatal
// message while the application starts; say it our way instead of aborting.
// What Qt says before that is held back, and shown only when it goes on.
QtMessageHandler g_previousHandler = nullptr;
bool g_starting = true;
std::vector<QString> g_held;
void StartupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (g_starting) {
        if (type == QtFatalMsg)
            NoDisplay();
        g_held.push_back(message);
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

void StartupDone()
{
    g_starting = false;
    for (const QString& message : g_held)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    g_held.clear();
}

} // namespace

int main(int argc, char** argv)
{
    const auto started = std::chrono::steady_clock::now();
    // A write past the file-size limit (ulimit -f) then fails with EFBIG and is
    // reported like a full disk, and a write to an encoder that quit fails with
    // EPIPE, instead of killing the editor.
    LIgnoreWriteSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    // Answered without a display, a window or the running instance.
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("kelvane %s\n", kKelvaneVersion);
        return 0;
    }
    // Two options for looking at the program from a script: pictures of every
    // window (scripts/screenshots), and the time to a visible window (bench/startup.sh).
    std::string screenshots;
    bool startupTime = false;
    if (args.size() >= 2 && args[0] == "--screenshots") {
        screenshots = args[1];
        args.erase(args.begin(), args.begin() + 2);
    } else if (!args.empty() && args[0] == "--startup-time") {
        startupTime = true;
        args.erase(args.begin());
    }
    if (!HaveDisplay())
        NoDisplay();
    g_previousHandler = qInstallMessageHandler(StartupMessages);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);
    StartupDone();
    LKVNameApplication();

    LKVSingleInstance instance;
    if (screenshots.empty() && !startupTime && instance.HandOver(LKVSecondInstanceForward(args)))
        return 0;

    LKVKeepDisplayOfExistingUser();
    const std::string working = LKVSettings::kWorkingFolder.Read();
    // Another editor still running in the folder (one that did not hear this
    // instance) keeps it: this one works in a private folder rather than
    // overwrite that one's segments and crash records. The two looking modes
    // work in a private folder too: they must not clear away what a crash left
    // in the user's folder before the next real start offers it back.
    const bool looking = !screenshots.empty() || startupTime;
    if (looking ||
        !LAudioCutTank::Get().SetWorkingFolder(working.empty() ? LSettings::GetFolder("Current") : working))
        LAudioCutTank::Get().UsePrivateFolder();

    LKVPorts ports;
    LPlayerDevice player;
    LKVMainWindow window(&player);
    window.ShowPlaced();
    instance.Ready();
    QObject::connect(&instance, &LKVSingleInstance::messageReceived, &window,
                     [&window](int message, const QString& argument) {
                         window.InstanceMessage(message, argument.toStdString());
                     });
    window.Model().LoadKeyMacros();
    if (startupTime) {
        QTimer::singleShot(0, &window, [started] {
            const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started);
            std::printf("kelvane: main window shown %.1f ms after main() began\n", ms.count());
            QCoreApplication::exit(0);
        });
    } else if (!screenshots.empty()) {
        QTimer::singleShot(0, &window, [&window, screenshots, args] {
            QCoreApplication::exit(LKVScreenshots(window, screenshots).Run(args));
        });
    } else {
        // After the event loop starts, so the window is up while a file loads.
        // What a crash left comes back first, before any segment is made.
        new LFirstExpose(window, [&window, args] {
            window.Model().RecoverAtStart();
            window.StartWith(args);
        });
    }
    return app.exec();
}
