// The break window: the paused machine and the breakpoints.
#pragma once

#include <QDialog>

class TfBreak : public QDialog {
    Q_OBJECT
public:
    explicit TfBreak(QWidget* parent = nullptr);
};
