// The run window: output, progress, Close/Break/Stop.
#pragma once

#include <QDialog>

class TfRun : public QDialog {
    Q_OBJECT
public:
    explicit TfRun(QWidget* parent = nullptr);
};
