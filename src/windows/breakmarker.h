// The "<BREAK>" marker of a line: what a margin click or Ctrl+B changes.
#pragma once

#include <QString>
#include <QStringView>

// Whether the line holds "<BREAK>" in any letter case: the break window marks
// exactly these lines at the start of a run.
bool HasBreakMarker(QStringView line);

// One edit of a line: remove `Remove` characters at `Pos`, then insert `Insert` there.
struct TLineEdit {
    int Pos = 0;
    int Remove = 0;
    QString Insert;
};

// The edit that toggles the line's marker. A line without one gets " // <BREAK>"
// (or " <BREAK>" at the end of its comment); a marked line loses its first
// marker together with what adding it would have brought, so that toggling
// twice gives the line back unchanged.
TLineEdit ToggleBreakEdit(QStringView line);

QString Applied(QStringView line, const TLineEdit& edit);
