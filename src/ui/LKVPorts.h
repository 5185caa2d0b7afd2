#pragma once
#include <memory>

class LQtDispatcher;
class LQtProgressBackend;
class LQtUi;

// Installs the Qt implementations of the user-interface port, the progress
// windows and the dispatcher for its lifetime; needs a QApplication.
class LKVPorts {
public:
    LKVPorts();
    ~LKVPorts();
    LKVPorts(const LKVPorts&) = delete;
    LKVPorts& operator=(const LKVPorts&) = delete;

private:
    std::unique_ptr<LQtUi> ui_;
    std::unique_ptr<LQtProgressBackend> progress_;
    std::unique_ptr<LQtDispatcher> dispatcher_;
};
