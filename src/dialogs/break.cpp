#include "dialogs/break.h"

TfBreak::TfBreak(QWidget* parent) : QDialog(parent) { setObjectName("fBreak"); }
