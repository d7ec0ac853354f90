#include "windows/editor.h"

#include "core/appstrings.h"
#include "gui/application.h"
#include "gui/crlfpos.h"
#include "gui/errorbox.h"
#include "gui/fonts.h"
#include "gui/modals.h"
#include "gui/palettes.h"
#include "gui/panelaccess.h"
#include "gui/zoom.h"
#include "windows/about.h"
#include "windows/codeeditor.h"
#include "windows/filewrite.h"
#include "windows/globals.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTimer>

#include <stdexcept>
#include <string_view>

using corvane::Str;

namespace {

QString Text(corvane::TStringId id) {
    return QString::fromUtf8(Str(id));
}

[[noreturn]] void Fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

// Menus that highlight a disabled item too, so that its hint reaches the
// status bar (File > Print); the item still cannot be chosen.
class TMenuStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

constexpr int kTabColumns = 16;
constexpr int kStatusHeight = 19;
constexpr int kModPanelWidth = 50;
constexpr QSize kDesignedSize(720, 520);

} // namespace

TfMain::TfMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fMain"));
    CreateMenus();
    CreateEditor();
    CreateStatusBar();
    SetAccessibility();
    CreateRecovery();
    GrowWindow(*this, kDesignedSize);
    // FormCreate: panel 0 is centred (CreateStatusBar), hints reach panel 1
    // through event(), and the document starts as File > New leaves it.
    mNewClick();
}

TfMain::~TfMain() = default;

QAction* TfMain::AddItem(QMenu* menu, const char* name, const QString& caption,
                         const QKeySequence& shortcut, const QString& hint,
                         void (TfMain::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    // A hint is "short part|long part": the long part goes to the status bar.
    const qsizetype bar = hint.indexOf(u'|');
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    if (handler)
        connect(action, &QAction::triggered, this,
                [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
    return action;
}

void TfMain::CreateMenus() {
    mMainMenu = menuBar();
    mMainMenu->setObjectName(QStringLiteral("mMainMenu"));

    mFileMenu = mMainMenu->addMenu(QStringLiteral("&File"));
    mFileMenu->setObjectName(QStringLiteral("mFileMenu"));
    mNew = AddItem(mFileMenu, "mNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N),
                   QStringLiteral("New|Creates a new document"), &TfMain::mNewClick);
    mOpen = AddItem(mFileMenu, "mOpen", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O),
                    QStringLiteral("Open|Opens an existing document"), &TfMain::mOpenClick);
    mSave = AddItem(mFileMenu, "mSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
                    QStringLiteral("Save|Saves current document"), &TfMain::mSaveClick);
    mSaveAs = AddItem(mFileMenu, "mSaveAs", QStringLiteral("Save &As ..."), QKeySequence(),
                      QStringLiteral("Save As|Saves current document using a new name"),
                      &TfMain::mSaveAsClick);
    mFN1 = mFileMenu->addSeparator();
    mFN1->setObjectName(QStringLiteral("mFN1"));
    mPrint =
        AddItem(mFileMenu, "mPrint", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P),
                QStringLiteral("Print|Prints current document"), nullptr);
    mPrint->setEnabled(false);
    mFN2 = mFileMenu->addSeparator();
    mFN2->setObjectName(QStringLiteral("mFN2"));
    mExit = AddItem(mFileMenu, "mExit", QStringLiteral("E&xit"), QKeySequence(Qt::Key_Escape),
                    QStringLiteral("Exit|Exits application"), &TfMain::mExitClick);

    mEditMenu = mMainMenu->addMenu(QStringLiteral("&Edit"));
    mEditMenu->setObjectName(QStringLiteral("mEditMenu"));
    mUndo = AddItem(mEditMenu, "mUndo", QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z),
                    QStringLiteral("Undo|Undoes your last action"), &TfMain::mUndoClick);
    mEN1 = mEditMenu->addSeparator();
    mEN1->setObjectName(QStringLiteral("mEN1"));
    mCut = AddItem(mEditMenu, "mCut", QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X),
                   QStringLiteral("Cut|Cuts the selection and puts it on the Clipboard"),
                   &TfMain::mCutClick);
    mCopy = AddItem(mEditMenu, "mCopy", QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C),
                    QStringLiteral("Copy|Copies the selection and puts it on the Clipboard"),
                    &TfMain::mCopyClick);
    mPaste = AddItem(
        mEditMenu, "mPaste", QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V),
        QStringLiteral("Paste|Inserts the contents of the Clipboard"), &TfMain::mPasteClick);
    mEN2 = mEditMenu->addSeparator();
    mEN2->setObjectName(QStringLiteral("mEN2"));
    mSelectAll = AddItem(
        mEditMenu, "mSelectAll", QStringLiteral("&Select All"), QKeySequence(Qt::CTRL | Qt::Key_A),
        QStringLiteral("Select All|Selects the entire document"), &TfMain::mSelectAllClick);
    mDeselect = AddItem(
        mEditMenu, "mDeselect", QStringLiteral("&DeSelect"), QKeySequence(Qt::CTRL | Qt::Key_D),
        QStringLiteral("DeSelect|Cancels current selection"), &TfMain::mDeselectClick);

    CreateViewMenu();

    mRunMenu = mMainMenu->addMenu(QStringLiteral("&Run"));
    mRunMenu->setObjectName(QStringLiteral("mRunMenu"));
    mRun = AddItem(mRunMenu, "mRun", QStringLiteral("&Run"), QKeySequence(Qt::Key_F9),
                   QStringLiteral("Run|Executes program"), &TfMain::mRunClick);
    mTrace = AddItem(mRunMenu, "mTrace", QStringLiteral("&Trace"), QKeySequence(Qt::Key_F8),
                     QString(), &TfMain::mTraceClick);
    mRunToCursor = AddItem(mRunMenu, "mRunToCursor", QStringLiteral("&Run To Cursor"),
                           QKeySequence(Qt::Key_F4), QString(), &TfMain::mRunToCursorClick);
    mCheck =
        AddItem(mRunMenu, "mCheck", QStringLiteral("&Check"), QKeySequence(Qt::CTRL | Qt::Key_F9),
                QStringLiteral("Check|Runs the test cases of this program"), &TfMain::mCheckClick);
    mToggleBreakpoint =
        AddItem(mRunMenu, "mToggleBreakpoint", QStringLiteral("Toggle &Breakpoint"),
                QKeySequence(Qt::CTRL | Qt::Key_B),
                QStringLiteral("Toggle Breakpoint|Marks or unmarks the line as a breakpoint"),
                &TfMain::mToggleBreakpointClick);

    mHelpMenu = mMainMenu->addMenu(QStringLiteral("&Help"));
    mHelpMenu->setObjectName(QStringLiteral("mHelpMenu"));
    mGuide = AddItem(mHelpMenu, "mGuide", QStringLiteral("&Language Guide"),
                     QKeySequence(Qt::SHIFT | Qt::Key_F1),
                     QStringLiteral("Language Guide|Shows the language reference"),
                     &TfMain::mGuideClick);
    mAbout =
        AddItem(mHelpMenu, "mAbout", QStringLiteral("&About Corvane ..."), QKeySequence(Qt::Key_F1),
                QStringLiteral("About|Shows copyright and version information of this application"),
                &TfMain::mAboutClick);
    mAbout->setMenuRole(QAction::NoRole);
    mHelpMenu->setDefaultAction(mAbout);
    // The menu sizes its items by their own font: a bold default item needs a
    // bold font of its own, or its caption is cut short.
    QFont bold = mAbout->font();
    bold.setBold(true);
    mAbout->setFont(bold);

    // Made after the menus, so that it outlives them (children go in order).
    auto* menuStyle = new TMenuStyle;
    menuStyle->setParent(this);
    for (QMenu* menu : {mFileMenu, mEditMenu, mViewMenu, mRunMenu, mHelpMenu}) {
        menu->setStyle(menuStyle);
        connect(menu, &QMenu::aboutToShow, this, [this] { ++openMenus_; });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            openMenus_ = std::max(0, openMenus_ - 1);
            ShowPanel1();
        });
    }
}

// The zoom's actions are the window's own zoom keys (see InstallZoomKeys),
// shown in the menu; their shortcuts stay those of the keys.
void TfMain::CreateViewMenu() {
    mViewMenu = mMainMenu->addMenu(QStringLiteral("&View"));
    mViewMenu->setObjectName(QStringLiteral("mViewMenu"));
    const TZoomActions zoom = InstallZoomKeys(this);
    const auto show = [this](QAction* action, const QString& caption, const QString& hint) {
        action->setText(caption);
        const qsizetype bar = hint.indexOf(u'|');
        action->setToolTip(hint.left(bar));
        action->setStatusTip(hint.mid(bar + 1));
        mViewMenu->addAction(action);
        return action;
    };
    mZoomIn = show(zoom.In, QStringLiteral("Zoom &In"),
                   QStringLiteral("Zoom In|Makes the program text larger in every window"));
    mZoomOut = show(zoom.Out, QStringLiteral("Zoom &Out"),
                    QStringLiteral("Zoom Out|Makes the program text smaller in every window"));
    mZoomReset = show(zoom.Reset, QStringLiteral("&Reset Zoom"),
                      QStringLiteral("Reset Zoom|Shows the program text at its normal size"));
    mViewMenu->addSeparator();
    mDark = AddItem(mViewMenu, "mDark", QStringLiteral("&Dark"), QKeySequence(),
                    QStringLiteral("Dark|Switches between a dark and a light palette"),
                    &TfMain::mDarkClick);
    mDark->setCheckable(true);
    mDark->setChecked(DarkPaletteOn());
}

void TfMain::CreateEditor() {
    oText = new TCodeEditor(this);
    oText->setObjectName(QStringLiteral("oText"));
    FollowZoom(oText, ProgramFont);
    ZoomByWheel(oText);
    oText->setLineWrapMode(QPlainTextEdit::NoWrap);
    oText->setWordWrapMode(QTextOption::NoWrap);
    oText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    oText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    oText->setTabChangesFocus(false);
    oText->installEventFilter(this);
    setCentralWidget(oText);
    oText->setFocus();
    connect(oText, &QPlainTextEdit::textChanged, this, &TfMain::oTextChange);
    connect(oText->document(), &QTextDocument::modificationChanged, this, &TfMain::oTextChange);
    connect(oText, &TCodeEditor::CaretErrorChanged, this, &TfMain::CaretError);
    FormActivate();
}

void TfMain::CreateStatusBar() {
    oStatusBar = new QStatusBar(this);
    oStatusBar->setObjectName(QStringLiteral("oStatusBar"));
    setStatusBar(oStatusBar);
    // Fixed sizes: a text change then repaints the panel alone, not the bar.
    panel0_ = new QLabel(oStatusBar);
    panel0_->setObjectName(QStringLiteral("oStatusPanel0"));
    panel0_->setAlignment(Qt::AlignCenter);
    panel0_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel1_ = new QLabel(oStatusBar);
    panel1_->setObjectName(QStringLiteral("oStatusPanel1"));
    panel1_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel1_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    oStatusBar->addWidget(panel0_);
    oStatusBar->addWidget(panel1_, 1);
    FitStatusBar();
}

// The designed sizes, grown with a bigger font (the desktop's, or the
// application's changed while it runs).
void TfMain::FitStatusBar() {
    const int height = Grown(kStatusHeight, font());
    oStatusBar->setFixedHeight(height);
    panel0_->setFixedSize(Grown(kModPanelWidth, font()), height - 3);
    panel1_->setFixedHeight(height - 3);
}

void TfMain::SetAccessibility() {
    InstallPanelAccessible();
    const QString firstUse = QStringLiteral("Type a program here, or open one of the examples. "
                                            "Help > Language Guide (Shift+F1) explains the "
                                            "language.");
    oText->setPlaceholderText(firstUse);
    oText->setAccessibleName(QStringLiteral("Program"));
    oText->setAccessibleDescription(firstUse);
    panel0_->setAccessibleName(QStringLiteral("Modified"));
    panel0_->setAccessibleDescription(
        QStringLiteral("Shows Mod while the program has changes not yet saved"));
    panel1_->setAccessibleName(QStringLiteral("Hint"));
    panel1_->setAccessibleDescription(
        QStringLiteral("The highlighted menu item's hint, or the error on the caret's line"));
    // Reached with the keyboard only (Ctrl+Tab, then Tab): a click on the bar
    // leaves the focus in the editor. The caret shows where the focus is.
    for (QLabel* panel : {panel0_, panel1_}) {
        panel->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
        panel->setFocusPolicy(Qt::TabFocus);
    }
}

// --- what the other windows read -------------------------------------------

QString TfMain::Caption() const {
    return windowTitle();
}

TRunSource TfMain::RunSource() const {
    TRunSource source{Caption(), EditorText(), {}};
    const QTextDocument& document = *oText->document();
    source.Lines.reserve(document.blockCount());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        source.Lines.append(block.text());
    return source;
}

QString TfMain::EditorText() const {
    QString text;
    const QTextDocument* doc = oText->document();
    text.reserve(doc->characterCount() + doc->blockCount());
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin()) text += QStringLiteral("\r\n");
        text += block.text();
    }
    return text;
}

int TfMain::SelectionStart() const {
    return DocToCrlf(*oText->document(), oText->textCursor().selectionStart());
}

int TfMain::LineFromChar(int crlfPos) const {
    const QTextDocument& doc = *oText->document();
    return doc.findBlock(CrlfToDoc(doc, crlfPos)).blockNumber();
}

void TfMain::SetSelection(int crlfStart, int length) {
    const QTextDocument& doc = *oText->document();
    const int start = CrlfToDoc(doc, crlfStart);
    const int crlfEnd = crlfStart + std::max(0, length);
    int end = CrlfToDoc(doc, crlfEnd);
    // An end between CR and LF takes in the whole line break.
    if (DocToCrlf(doc, end) < crlfEnd) end = std::min(end + 1, doc.characterCount() - 1);
    const TSpan whole = WholeCharacters(doc, {start, end});
    QTextCursor cursor = oText->textCursor();
    cursor.setPosition(whole.Start);
    cursor.setPosition(whole.End, QTextCursor::KeepAnchor);
    oText->setTextCursor(cursor);
    oText->ensureCursorVisible();
}

QString TfMain::PanelText(int panel) const {
    return panel == 0 ? panel0_->text() : panel1_->text();
}

bool TfMain::Modified() const {
    return oText->document()->isModified();
}

// --- window events -----------------------------------------------------------

bool TfMain::event(QEvent* event) {
    // Menu items report their hint as status tips; panel 1 shows it.
    if (event->type() == QEvent::StatusTip) {
        ApplicationHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    if (event->type() == QEvent::FontChange && panel1_) {
        FitStatusBar();
        GrowWindow(*this, kDesignedSize);
    }
}

void TfMain::closeEvent(QCloseEvent* event) {
    bool canClose = false;
    RunGuarded([&] { canClose = FormCloseQuery(); });
    if (!canClose) return event->ignore();
    // Saved, or dropped by the user's answer.
    oRecoveryTimer->stop();
    recovery_->Remove();
    event->accept();
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
    // Tab stops are measured in the editor's font: a zoom moves them.
    if (watched == oText && event->type() == QEvent::FontChange) FormActivate();
    // Shift+Enter would put a line separator inside the line; here every new
    // line is a real line break, as the run and the file see it.
    if (watched == oText && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() & Qt::ShiftModifier) {
            oText->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        // Tab types a tab; with Ctrl it leaves the editor, as in any other
        // control (Shift goes backwards).
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            key->modifiers() & Qt::ControlModifier) {
            const bool back =
                key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!back);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfMain::FormActivate() {
    const QFontMetricsF metrics(oText->font());
    oText->setTabStopDistance(metrics.horizontalAdvance(QString(kTabColumns, u'x')));
    oText->viewport()->update();
}

bool TfMain::FormCloseQuery() {
    return QuerySave();
}

void TfMain::oTextChange() {
    panel0_->setText(Modified() ? Text(corvane::sModified) : QString());
}

void TfMain::ApplicationHint(const QString& hint) {
    menuHint_ = hint;
    ShowPanel1();
}

void TfMain::CaretError(const QString& message) {
    caretError_ = message;
    ShowPanel1();
}

void TfMain::ShowPanel1() {
    panel1_->setText(openMenus_ > 0 || !menuHint_.isEmpty() ? menuHint_ : caretError_);
}

// Qt takes "[*]" in a window title for the place of its modified marker and
// drops it; "[*][*]" shows as "[*]". The caption is kept in that form, so a
// file name holding "[*]" shows in full wherever the caption becomes a title.
void TfMain::UpdateCaption() {
    QString name = File.Name;
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(name + QStringLiteral(" - ") + Text(corvane::sProduct));
    SetAppTitle(windowTitle());
}

// --- file commands -----------------------------------------------------------

bool TfMain::QuerySave() {
    if (!Modified()) return true;
    QString question = Text(corvane::sSaveChanges);
    question.insert(question.lastIndexOf(u'?'), File.Name);
    switch (Dialogs().Ask(this, Text(corvane::sProduct), question)) {
    case TDialogs::TAnswer::Yes: return SaveFile(false);
    case TDialogs::TAnswer::No: return true;
    case TDialogs::TAnswer::Cancel: return false;
    }
    return false;
}

void TfMain::ReplaceText(const QString& crlfText) {
    ForgetCheck();
    QString text = crlfText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    oText->setPlainText(text);
    oText->document()->setModified(false);
    oTextChange();
}

void TfMain::SetFileFrom(const QString& path) {
    const QFileInfo info(QFileInfo(path).absoluteFilePath());
    File.Name = info.fileName();
    File.Dir = QDir::toNativeSeparators(info.absolutePath());
}

void TfMain::LoadFile(const QString& path) {
    // Opening a FIFO or a device would wait for a writer, possibly forever.
    const TDiskState state = DiskState(path);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Cannot open file ") + NativePath(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Fail(QStringLiteral("Cannot open file ") + NativePath(path));
    const corvane::TDecodedText decoded =
        corvane::DecodeFile(std::string_view(bytes.constData(), bytes.size()));
    ReplaceText(QString::fromStdU16String(decoded.Text));
    encoding_ = decoded.Encoding;
    byteOrderMark_ = decoded.ByteOrderMark;
    diskState_ = state;
}

void TfMain::WriteFile(const QString& path) {
    const QFileInfo info(path);
    // The save dialog refuses read-only files; a rename over them would not.
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        Fail(QStringLiteral("Cannot create file ") + NativePath(path));
    corvane::TEncoding used = encoding_;
    const std::string bytes =
        corvane::EncodeFile(EditorText().toStdU16String(), encoding_, byteOrderMark_, &used);
    switch (WriteWholeFile(path, bytes)) {
    case TWriteResult::Written: break;
    case TWriteResult::CannotCreate: Fail(QStringLiteral("Cannot create file ") + NativePath(path));
    case TWriteResult::WriteError: Fail(QStringLiteral("Stream write error"));
    }
    encoding_ = used;
    if (used != corvane::TEncoding::Utf8) byteOrderMark_ = false;
}

bool TfMain::SaveFile(bool askName) {
    QString target;
    if (askName || File.Dir.isEmpty()) {
        // A stored document is proposed in its own folder.
        const QString proposed =
            File.Dir.isEmpty() ? File.Name : QDir(File.Dir).filePath(File.Name);
        target = Dialogs().SaveFileName(this, Text(corvane::sFileFilter), proposed,
                                        Text(corvane::sDefaultExt));
        if (target.isEmpty()) return false;
    } else {
        target = QDir(File.Dir).filePath(File.Name);
        if (!MayOverwrite(target)) return false;
    }
    // A failed write in place puts the old text back, which touches the file:
    // it is still the file as known, not one changed by another program.
    const bool asKnown = DiskState(target) == diskState_;
    try {
        WriteFile(target);
    } catch (...) {
        if (asKnown) diskState_ = DiskState(target);
        throw;
    }
    diskState_ = DiskState(target);
    SetFileFrom(target);
    UpdateCaption();
    oText->document()->setModified(false);
    oTextChange();
    return true;
}

// What another program may have done to the document's file since it was
// read or saved: a file that is still as it was, or gone, is written without
// asking.
bool TfMain::MayOverwrite(const QString& path) {
    const TDiskState now = DiskState(path);
    if (!now.Exists || now == diskState_) return true;
    const QString question =
        QStringLiteral("The file %1 has been changed by another program. Overwrite it?")
            .arg(NativePath(path));
    return Dialogs().Confirm(this, Text(corvane::sProduct), question);
}

void TfMain::mNewClick() {
    if (!QuerySave()) return;
    diskState_ = {};
    File = {Text(corvane::sUntitled), QString()};
    ReplaceText(QString());
    encoding_ = corvane::TEncoding::Utf8;
    byteOrderMark_ = false;
    UpdateCaption();
}

void TfMain::mOpenClick() {
    if (!QuerySave()) return;
    const QString path = Dialogs().OpenFileName(this, Text(corvane::sFileFilter), lastOpened_);
    if (!path.isEmpty()) OpenFile(path);
}

void TfMain::OpenFile(const QString& path) {
    lastOpened_ = path;
    LoadFile(path);
    SetFileFrom(path);
    UpdateCaption();
}

void TfMain::mSaveClick() {
    SaveFile(false);
}

void TfMain::mSaveAsClick() {
    SaveFile(true);
}

void TfMain::mExitClick() {
    close();
}

// --- edit commands -----------------------------------------------------------

void TfMain::mUndoClick() {
    oText->undo();
}

void TfMain::mCutClick() {
    oText->cut();
}

void TfMain::mCopyClick() {
    oText->copy();
}

void TfMain::mPasteClick() {
    oText->paste();
}

void TfMain::mSelectAllClick() {
    oText->selectAll();
}

void TfMain::mDeselectClick() {
    QTextCursor cursor = oText->textCursor();
    cursor.setPosition(0);
    oText->setTextCursor(cursor);
}

void TfMain::mToggleBreakpointClick() {
    oText->ToggleCaretBreakpoint();
}

void TfMain::ShowPausedLine(int line) {
    oText->ShowPausedLine(line);
}

// The check mark is the action's own state; the palette follows it.
void TfMain::mDarkClick() {
    SetDarkPalette(mDark->isChecked());
}

void TfMain::mAboutClick() {
    if (fAbout) fAbout->exec();
}
