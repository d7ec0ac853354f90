// What a run needs of the editor, taken once when a run command starts it.
#pragma once

#include <QString>
#include <QStringList>

struct TRunSource {
    QString Caption;   // the main window's caption, in window-title form
    QString Text;      // the whole program text, CR LF line breaks
    QStringList Lines; // the editor's lines, without their breaks
};
