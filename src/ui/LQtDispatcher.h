#pragma once
#include <QObject>

#include "core/LDispatcher.h"

// Runs posted calls in the Qt event loop of the thread that owns this object
// (the user-interface thread). Calls still queued when it is destroyed are dropped.
class LQtDispatcher : public QObject, public LDispatcher {
    Q_OBJECT
public:
    explicit LQtDispatcher(QObject* parent = nullptr) : QObject(parent) {}
    // Thread-safe.
    void Post(std::function<void()> call) override;
};
