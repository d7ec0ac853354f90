#include "gui/modals.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

TDialogs* replacement = nullptr;

QStringList TrimmedParts(const QString& filter) {
    QStringList parts = filter.split(u'|');
    for (QString& part : parts)
        part = part.trimmed();
    return parts;
}

void PrepareFileDialog(QFileDialog& dialog, const QString& filter) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = NameFilters(filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
}

// The Save dialog accepts only a name in a folder that exists; Qt's own would
// accept any and leave the failure to the write.
class TSaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            if (!QFileInfo(chosen.absolutePath()).isDir()) {
                Dialogs().Error(this, windowTitle(),
                                QStringLiteral("%1\nThe folder does not exist.")
                                    .arg(QDir::toNativeSeparators(chosen.absolutePath())));
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

QStringList NameFilters(const QString& filter) {
    const QStringList parts = TrimmedParts(filter);
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == u"*.*") pattern = QStringLiteral("*");
        }
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

namespace {
QWidget* mainWindow = nullptr;
}

void SetMainWindow(QWidget* window) {
    mainWindow = window;
}

QWidget* BoxParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return mainWindow;
}

TDialogs& Dialogs() {
    static TQtDialogs qt;
    return replacement ? *replacement : qt;
}

TDialogs* SetDialogs(TDialogs* dialogs) {
    return std::exchange(replacement, dialogs);
}

TDialogs::TAnswer TQtDialogs::Ask(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    default: return TAnswer::Cancel;
    }
}

bool TQtDialogs::Confirm(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TQtDialogs::Error(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

QString TQtDialogs::OpenFileName(QWidget* parent, const QString& filter,
                                 const QString& lastChosen) {
    QFileDialog dialog(parent);
    PrepareFileDialog(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!lastChosen.isEmpty()) dialog.selectFile(lastChosen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString TQtDialogs::SaveFileName(QWidget* parent, const QString& filter, const QString& proposed,
                                 const QString& defaultExt) {
    TSaveDialog dialog(parent);
    PrepareFileDialog(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExt);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
