#pragma once
#include <QLockFile>
#include <QObject>
#include <memory>

#include "app/LKVCommandLine.h"

class QLocalServer;

// Keeps the editor to one instance per user and settings home: the first
// instance listens on a local socket; a later one hands its command line over
// (LKVForward) and ends. The check and the start of listening happen under a
// lock file, so two instances started together cannot both become the first.
class LKVSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit LKVSingleInstance(QObject* parent = nullptr);
    ~LKVSingleInstance() override;

    // Hands `forward` to a running instance. True when one took it (this process
    // should end); false when this is the first instance, which then listens
    // (the lock is held until Listening() is released by Ready()).
    bool HandOver(const LKVForward& forward);
    // Releases the start-up lock once the main window exists.
    void Ready();

    // The socket path for this user and settings home.
    static QString ServerPath();

signals:
    // A later instance's message (kLKVMsgOpenFile, kLKVMsgAddToBatch, or 0 for
    // "come to the front").
    void messageReceived(int message, const QString& argument);

private:
    void Accept();

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
