// The editor's commands that reach the language guide: Help > Language Guide
// (at the keyword under the caret) and the guide's example links.
#include "core/text_codec.h"
#include "gui/errorbox.h"
#include "gui/guidesource.h"
#include "gui/guidetopic.h"
#include "windows/editor.h"
#include "windows/guide.h"

#include <QPlainTextEdit>
#include <QTextBlock>

#include <string_view>

TfGuide* TfMain::Guide() {
    if (!guide_) {
        guide_ = new TfGuide(this);
        connect(guide_, &TfGuide::ExampleRequested, this,
                [this](const QString& name) { RunGuarded([this, &name] { OpenExample(name); }); });
    }
    return guide_;
}

void TfMain::mGuideClick() {
    const QTextCursor cursor = oText->textCursor();
    Guide()->ShowTopic(GuideTopicAt(cursor.block().text(), cursor.positionInBlock()));
}

void TfMain::OpenExample(const QString& name) {
    const QByteArray bytes = ExampleBytes(name);
    if (bytes.isEmpty()) return;
    if (!QuerySave()) return;
    const corvane::TDecodedText decoded =
        corvane::DecodeFile(std::string_view(bytes.constData(), bytes.size()));
    ReplaceText(QString::fromStdU16String(decoded.Text));
    encoding_ = decoded.Encoding;
    byteOrderMark_ = decoded.ByteOrderMark;
    // Never saved: Save asks for a name and proposes the example's own.
    diskState_ = {};
    File = {name + QStringLiteral(".cv"), QString()};
    UpdateCaption();
    raise();
    activateWindow();
}
