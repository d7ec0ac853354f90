#include "dialogs/input.h"

TfInput::TfInput(QWidget* parent) : QDialog(parent) { setObjectName("fInput"); }
