// The editor's recovery copy: kept while the document has unsaved changes,
// offered again at the next start when the program did not close.
#include "core/appstrings.h"
#include "gui/modals.h"
#include "windows/editor.h"
#include "windows/recovery.h"

#include <QTimer>

namespace {
// After the last edit: long enough that typing writes nothing, short enough
// that little is lost.
constexpr int RecoveryDelayMs = 2000;
} // namespace

void TfMain::CreateRecovery() {
    recovery_ = std::make_unique<TRecoveryStore>();
    oRecoveryTimer = new QTimer(this);
    oRecoveryTimer->setObjectName(QStringLiteral("oRecoveryTimer"));
    oRecoveryTimer->setSingleShot(true);
    oRecoveryTimer->setInterval(RecoveryDelayMs);
    connect(oRecoveryTimer, &QTimer::timeout, this, &TfMain::KeepRecoveryCopy);
    connect(oText, &QPlainTextEdit::textChanged, this, &TfMain::RecoveryEdited);
    connect(oText->document(), &QTextDocument::modificationChanged, this, &TfMain::RecoveryEdited);
}

void TfMain::RecoveryEdited() {
    if (Modified()) {
        oRecoveryTimer->start();
    } else {
        oRecoveryTimer->stop();
        recovery_->Remove();
    }
}

// A copy that cannot be written is not reported: there is nothing the user
// could do about it now, and the document itself is untouched.
void TfMain::KeepRecoveryCopy() {
    if (Modified()) recovery_->Write(RecoveryCopy());
}

TRecoveryCopy TfMain::RecoveryCopy() const {
    return {File.Name, File.Dir, EditorText(), encoding_, byteOrderMark_, diskState_};
}

void TfMain::RestoreCopy(const TRecoveryCopy& copy) {
    ReplaceText(copy.Text);
    encoding_ = copy.Encoding;
    byteOrderMark_ = copy.ByteOrderMark;
    diskState_ = copy.Base;
    File = {copy.Name, copy.Dir};
    UpdateCaption();
    oText->document()->setModified(true);
}

bool TfMain::OfferRecovery() {
    for (const auto& left : recovery_->TakeLeft()) {
        const QString question =
            QStringLiteral("Corvane was not closed properly. Restore the unsaved program %1?")
                .arg(left->Copy().Name);
        if (!Dialogs().Confirm(this, QString::fromUtf8(corvane::Str(corvane::sProduct)),
                               question)) {
            left->Discard();
            continue;
        }
        RestoreCopy(left->Copy());
        // The text lives on in this instance's copy before the left one goes.
        if (recovery_->Write(RecoveryCopy())) left->Discard();
        return true;
    }
    return false;
}
