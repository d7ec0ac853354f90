#include "run/run.h"

TfRun::TfRun(QWidget* parent) : QDialog(parent) { setObjectName("fRun"); }
