#pragma once
#include <QString>
#include <functional>

class QWidget;

// Pictures the batch converter over `parent`: each page of the wizard filled
// with a typical list, the command picker and the conversion settings dialogs,
// handed to `save` under their picture names ("batch-files", ...). Nothing is
// converted and no setting is changed.
void LKVBatchShots(QWidget* parent, const std::function<void(QWidget&, const QString&)>& save);
