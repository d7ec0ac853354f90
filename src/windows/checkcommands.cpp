// Run > Check: the editor's text, as it stands, against the test suite that
// belongs to the document, in the Check window; and the trace of a case.
#include "core/text_codec.h"
#include "gui/errorbox.h"
#include "gui/modals.h"
#include "suite/suite.h"
#include "windows/check.h"
#include "windows/editor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>
#include <string>
#include <variant>

namespace {

const QString kSuiteFilter = QStringLiteral("Test suites (*.cvtest)|*.cvtest");

// NAME.cvtest beside the document NAME.cv (any extension); empty for a
// document never saved or loaded.
QString SuiteBeside(const TfMain::TFile& file) {
    if (file.Dir.isEmpty()) return {};
    const QFileInfo program(QDir(file.Dir).filePath(file.Name));
    return program.dir().filePath(program.completeBaseName() + QStringLiteral(".cvtest"));
}

// The suite read from its file; an unreadable or invalid one is an error,
// "NAME:LINE:COL: message" for the latter.
corvane::suite::TSuite LoadSuite(const QString& path) {
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open file " + shownPath.toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error("Cannot open file " + shownPath.toStdString());
    const std::string name = QFileInfo(path).fileName().toStdString();
    auto read = corvane::suite::ReadSuite(std::string_view(bytes.constData(), bytes.size()), name);
    if (auto* error = std::get_if<corvane::suite::TSuiteError>(&read))
        throw std::runtime_error(error->Text(name));
    return std::get<corvane::suite::TSuite>(std::move(read));
}

} // namespace

// The suite beside the file comes first; else the one chosen earlier for this
// document; else the user is asked, and the answer kept for the document.
QString TfMain::SuitePath() {
    const QString beside = SuiteBeside(File);
    if (!beside.isEmpty() && QFileInfo(beside).isFile()) return beside;
    if (!suiteChoice_.isEmpty() && QFileInfo(suiteChoice_).isFile()) return suiteChoice_;
    const QString chosen =
        Dialogs().OpenFileName(this, kSuiteFilter, beside.isEmpty() ? QString() : beside);
    if (!chosen.isEmpty()) suiteChoice_ = chosen;
    return chosen;
}

void TfMain::mCheckClick() {
    const QString path = SuitePath();
    if (path.isEmpty()) return;
    corvane::suite::TSuite suite;
    try {
        suite = LoadSuite(path);
    } catch (const std::runtime_error& error) {
        ShowError(QString::fromStdString(error.what()));
        return;
    }
    if (!check_) {
        check_ = new TfCheck(this);
        check_->TraceRequested = [this](const QString& input) { TraceCase(input); };
        // Ctrl+F9 checks again from the Check window too.
        check_->addAction(mCheck);
    }
    QString name = File.Name;
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    check_->Start(name + QStringLiteral(" - Check"), std::move(suite),
                  corvane::ToMachineText(EditorText().toStdU16String()));
    check_->show();
    check_->raise();
    check_->activateWindow();
}

// Another document: its suite is looked for anew, and the results of the
// last one go.
void TfMain::ForgetCheck() {
    suiteChoice_.clear();
    if (check_) check_->reject();
}
