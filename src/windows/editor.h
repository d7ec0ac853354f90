// The main window: the program editor, its menus and status bar, and the
// document (text, modified flag, file name and directory).
#pragma once

#include "core/text_codec.h"
#include "windows/codeeditor.h"
#include "windows/diskstate.h"
#include "windows/recovery.h"
#include "windows/runsource.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QStatusBar;
class QTimer;
class TfCheck;
class TfGuide;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    // The document's file. An empty Dir marks a document never saved or loaded.
    struct TFile {
        QString Name; // file name with extension, "Untitled" for a new document
        QString Dir;  // absolute directory, no trailing separator except at the root
    };

    explicit TfMain(QWidget* parent = nullptr);
    ~TfMain() override;

    QMenuBar* mMainMenu = nullptr;
    QMenu* mFileMenu = nullptr;
    QAction* mNew = nullptr;
    QAction* mOpen = nullptr;
    QAction* mSave = nullptr;
    QAction* mSaveAs = nullptr;
    QAction* mFN1 = nullptr;
    QAction* mPrint = nullptr;
    QAction* mFN2 = nullptr;
    QAction* mExit = nullptr;
    QMenu* mEditMenu = nullptr;
    QAction* mUndo = nullptr;
    QAction* mEN1 = nullptr;
    QAction* mCut = nullptr;
    QAction* mCopy = nullptr;
    QAction* mPaste = nullptr;
    QAction* mEN2 = nullptr;
    QAction* mSelectAll = nullptr;
    QAction* mDeselect = nullptr;
    QMenu* mViewMenu = nullptr;
    QAction* mZoomIn = nullptr;
    QAction* mZoomOut = nullptr;
    QAction* mZoomReset = nullptr;
    QAction* mDark = nullptr;
    QMenu* mRunMenu = nullptr;
    QAction* mRun = nullptr;
    QMenu* mHelpMenu = nullptr;
    QAction* mAbout = nullptr;
    TCodeEditor* oText = nullptr;
    QStatusBar* oStatusBar = nullptr;
    QAction* mTrace = nullptr;
    QAction* mRunToCursor = nullptr;
    QAction* mCheck = nullptr;
    QAction* mGuide = nullptr;
    QAction* mToggleBreakpoint = nullptr;
    TFile File;

    // What the run, input and break windows read of the editor.
    // "Untitled - Corvane 1.4.beta", in window-title form ("[*]" written "[*][*]").
    QString Caption() const;
    QString EditorText() const;                   // the whole text, CR LF line breaks
    TRunSource RunSource() const;                 // what a run takes of the editor
    int SelectionStart() const;                   // as a CR LF position
    int LineFromChar(int crlfPos) const;          // 0-based line holding a CR LF position
    void SetSelection(int crlfStart, int length); // selects and scrolls; no edit

    // Status panel texts (panel 0: "Mod", panel 1: menu hints).
    QString PanelText(int panel) const;

    bool Modified() const;

    // The encoding the document is saved in (that of the file it was read from).
    corvane::TEncoding Encoding() const { return encoding_; }
    bool ByteOrderMark() const { return byteOrderMark_; }

    // File commands.
    bool QuerySave();
    // Reads the file into the editor as File > Open does once a file is
    // chosen (no question, no dialog).
    void OpenFile(const QString& path);
    // Writes the document; answers false when the Save dialog was cancelled.
    bool SaveFile(bool askName);
    void UpdateCaption();

    // Menu handlers. Errors they raise are reported by the caller's guard
    // (RunGuarded), never passed on into Qt's event dispatch.
    void mNewClick();
    void mOpenClick();
    void mSaveClick();
    void mSaveAsClick();
    void mExitClick();
    void mUndoClick();
    void mCutClick();
    void mCopyClick();
    void mPasteClick();
    void mSelectAllClick();
    void mDeselectClick();
    void mAboutClick();
    void mDarkClick();
    // Defined with the guide's commands (guidecommands.cpp).
    void mGuideClick();
    // Opens the bundled example NAME.cv as an unsaved document named so,
    // after the save question (Cancel abandons).
    void OpenExample(const QString& name);
    // The language guide's window, made on first use and kept.
    TfGuide* Guide();
    // Defined with the run window (runcommands.cpp).
    void mRunClick();
    void mTraceClick();
    void mRunToCursorClick();
    // Checked cases (checkcommands.cpp); a case traces with its input preset.
    void mCheckClick();
    void TraceCase(const QString& input);
    void mToggleBreakpointClick();

    // Recovery copies (recoverycommands.cpp). While the document has unsaved
    // changes, its copy is written once the timer, restarted by every edit,
    // runs out; it is removed when the document has none left (Save, New,
    // Open, Undo back to the saved text) and when the window closes.
    QTimer* oRecoveryTimer = nullptr;
    // At start: offers the copies of instances that ended without closing,
    // newest first, until one is restored; answers whether one was. Those
    // not offered stay for a later start.
    bool OfferRecovery();

    // The 1-based line about to run while a run is paused; 0 when none is.
    void ShowPausedLine(int line);

    void oTextChange();
    void ApplicationHint(const QString& hint);
    // The live error's message for panel 1 while the caret is on its line.
    void CaretError(const QString& message);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateViewMenu();
    void CreateEditor();
    void CreateStatusBar();
    void FitStatusBar();
    // Accessible names, the empty editor's placeholder, and the status panels
    // in the keyboard's reach (Ctrl+Tab leaves the editor for them).
    void SetAccessibility();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut, const QString& hint, void (TfMain::*handler)());
    void FormActivate();
    bool FormCloseQuery();
    void CreateRecovery();
    void RecoveryEdited();
    void KeepRecoveryCopy();
    TRecoveryCopy RecoveryCopy() const;
    void RestoreCopy(const TRecoveryCopy& copy);
    void LoadFile(const QString& path);
    void WriteFile(const QString& path);
    void SetFileFrom(const QString& path);
    void ReplaceText(const QString& crlfText);

    bool MayOverwrite(const QString& path);

    TDiskState diskState_; // the document's file as last read or saved
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    // Panel 1 shows the menu hint while a menu is open, else the caret's error.
    QString menuHint_;
    QString caretError_;
    int openMenus_ = 0;
    void ShowPanel1();
    QString lastOpened_; // the file last chosen in the Open dialog
    corvane::TEncoding encoding_ = corvane::TEncoding::Utf8;
    bool byteOrderMark_ = false;
    TfGuide* guide_ = nullptr;
    QString SuitePath();
    void ForgetCheck();
    QString suiteChoice_; // the suite the user chose for this document
    TfCheck* check_ = nullptr;
    std::unique_ptr<TRecoveryStore> recovery_;
};
