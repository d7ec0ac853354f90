// The input dialog: the program's input values.
#pragma once

#include <QDialog>

class TfInput : public QDialog {
    Q_OBJECT
public:
    explicit TfInput(QWidget* parent = nullptr);
};
