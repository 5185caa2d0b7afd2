#include "ui/LKVPorts.h"

#include "core/LDispatcher.h"
#include "core/LProgressWindow.h"
#include "ui/LQtDispatcher.h"
#include "ui/LQtProgressBackend.h"
#include "ui/LQtUi.h"

LKVPorts::LKVPorts()
    : ui_(std::make_unique<LQtUi>()),
      progress_(std::make_unique<LQtProgressBackend>()),
      dispatcher_(std::make_unique<LQtDispatcher>())
{
    LUiSet(ui_.get());
    LProgressSetBackend(progress_.get());
    LSetUiDispatcher(dispatcher_.get());
}

LKVPorts::~LKVPorts()
{
    LSetUiDispatcher(nullptr);
    LProgressSetBackend(nullptr);
    LUiSet(nullptr);
}
