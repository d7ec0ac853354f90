// The modal boxes and file dialogs of the shell, behind one seam: the program
// uses Qt's (TQtDialogs); tests install their own answers with SetDialogs.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class TDialogs {
public:
    enum class TAnswer { Yes, No, Cancel };

    virtual ~TDialogs() = default;

    // Question box: question icon, Yes / No / Cancel, Yes the default button;
    // Esc and the close box answer Cancel.
    virtual TAnswer Ask(QWidget* parent, const QString& title, const QString& text) = 0;

    // Error box: stop icon, one OK button, modal to the whole application.
    virtual void Error(QWidget* parent, const QString& title, const QString& text) = 0;

    // Open dialog for an existing file; `lastChosen` is preset in its name
    // field. Returns the chosen path, or an empty string when cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& filter,
                                 const QString& lastChosen) = 0;

    // Save dialog that asks before overwriting; `proposed` is preset in its
    // name field and a name without an extension gets `defaultExt`. Returns
    // the chosen path, or an empty string when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& filter, const QString& proposed,
                                 const QString& defaultExt) = 0;
};

// Qt's message boxes and Qt's own (non-native) file dialogs.
class TQtDialogs : public TDialogs {
public:
    TAnswer Ask(QWidget* parent, const QString& title, const QString& text) override;
    void Error(QWidget* parent, const QString& title, const QString& text) override;
    QString OpenFileName(QWidget* parent, const QString& filter,
                         const QString& lastChosen) override;
    QString SaveFileName(QWidget* parent, const QString& filter, const QString& proposed,
                         const QString& defaultExt) override;
};

// The dialogs in use: Qt's unless replaced.
TDialogs& Dialogs();

// Replaces the dialogs (not owned; nullptr restores Qt's) and returns the
// previous replacement (nullptr for Qt's).
TDialogs* SetDialogs(TDialogs* dialogs);

// Qt name filters for a filter of "text|pattern" pairs. Each entry keeps its
// text; the pattern "*.*" becomes "*" so that names without a dot match too.
// The dialogs hide the pattern part, so the user sees the texts only.
QStringList NameFilters(const QString& filter);

// The window a modal box should stay above: the active modal window, else the
// active window, else the main window (may be nullptr at start-up).
QWidget* BoxParent();
