#include "windows/input.h"

#include "core/appstrings.h"
#include "core/host.h"
#include "core/text_codec.h"
#include "gui/crlfpos.h"
#include "gui/eventpump.h"
#include "windows/editorlink.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Designed geometry (client coordinates) and the designed frame of the window,
// which the minimum size rule counts in.
constexpr int DesignedClientWidth = 633;
constexpr int DesignedClientHeight = 327;
constexpr int FrameWidth = 641 - DesignedClientWidth;
constexpr int FrameHeight = 351 - DesignedClientHeight;
constexpr int MemoTop = 24;

// The input parser's host: only its per-character event passes matter.
class TInputHost final : public corvane::THost {
public:
    void SetStatus(std::string_view) override {}
    void Progress(int32_t) override { ProcessEvents(); }
    void ProcessEvents() override {
        if (pump_.Tick()) ProcessPendingEvents();
    }
    bool IsStopLine(int32_t) override { return false; }
    void SetStopLine(int32_t) override {}
    void ClearRunToLine() override {}
    void Output(uint32_t) override {}

private:
    TEventPump pump_;
};

} // namespace

TfInput::TfInput(QWidget* parent) : QDialog(parent) {
    setObjectName("fInput");
    setFont(FormFont());
    setWindowTitle("fInput");

    oOldInputs = new QComboBox(this);
    oOldInputs->setObjectName("oOldInputs");
    oOldInputs->setEditable(false);
    oOldInputs->setGeometry(0, 0, 633, 21);

    oText = new QPlainTextEdit(this);
    oText->setObjectName("oText");
    oText->setFont(ProgramFont());
    oText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    oText->setTabChangesFocus(true);
    oText->setGeometry(0, MemoTop, 633, 265);
    oText->installEventFilter(this);

    oOkButton = new QPushButton("OK", this);
    oOkButton->setObjectName("oOkButton");
    oOkButton->setDefault(true);
    oOkButton->setGeometry(472, 296, 75, 25);

    oCancelButton = new QPushButton("Cancel", this);
    oCancelButton->setObjectName("oCancelButton");
    oCancelButton->setGeometry(552, 296, 75, 25);

    setTabOrder(oText, oOkButton);
    setTabOrder(oOkButton, oCancelButton);
    setTabOrder(oCancelButton, oOldInputs);

    connect(oOkButton, &QPushButton::clicked, this, &TfInput::oOkButtonClick);
    connect(oCancelButton, &QPushButton::clicked, this, &TfInput::reject);
    // Choosing an earlier input puts it back into the memo, ready to be confirmed.
    connect(oOldInputs, &QComboBox::activated, this,
            [this](int index) { oText->setPlainText(oOldInputs->itemText(index)); });

    // Refuses sizes below the rule's outer minimum (two buttons + 50 wide,
    // OK + drop-down + 80 high), expressed for the client area.
    setMinimumSize(75 + 75 + 50 - FrameWidth, 25 + 21 + 80 - FrameHeight);
    resize(DesignedClientWidth, DesignedClientHeight);
}

QString TfInput::InputText() const {
    QString text = oText->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TfInput::oOkButtonClick() {
    if (parsing_) return;
    const QString text = InputText();
    TInputHost host;
    parsing_ = true;
    const std::size_t bad = InputList.Parse(corvane::ToMachineText(text.toStdU16String()), &host);
    parsing_ = false;
    if (!isVisible()) return; // cancelled during the parse's event passes
    if (bad != 0) {
        corvane::ShowError(corvane::sBadCharacter);
        SelectCrlfChar(static_cast<int>(bad) - 1);
        // Without a window manager nobody hands the activation back when the
        // box closes, and the memo would not get the user's keys.
        activateWindow();
        oText->setFocus();
        return;
    }
    Remember(oText->toPlainText());
    done(ResultAccepted);
}

void TfInput::reject() {
    done(ResultCancelled);
}

void TfInput::Remember(const QString& text) {
    if (oOldInputs->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        oOldInputs->addItem(text);
}

void TfInput::SelectCrlfChar(int crlfPos) {
    const QString plain = oText->toPlainText();
    const int start = CrlfToDoc(plain, crlfPos);
    QTextCursor cursor(oText->document());
    cursor.setPosition(start);
    cursor.setPosition(std::min(start + 1, static_cast<int>(plain.size())),
                       QTextCursor::KeepAnchor);
    oText->setTextCursor(cursor);
}

void TfInput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setWindowTitle(MainCaption() + " - [input]");
    oText->setFocus();
}

void TfInput::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TfInput::FormResize() {
    const int w = width();
    const int h = height();
    oOldInputs->setGeometry(0, 0, w, oOldInputs->height());
    oText->setGeometry(0, MemoTop, w, h - MemoTop - oOkButton->height() - 12);
    oOkButton->move(w - oCancelButton->width() - oOkButton->width() - 14,
                    h - oOkButton->height() - 6);
    oCancelButton->move(w - oCancelButton->width() - 8, h - oCancelButton->height() - 6);
}

// Enter alone in the memo presses the default button instead of breaking the line.
bool TfInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oText && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            mods == Qt::NoModifier) {
            oOkButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
