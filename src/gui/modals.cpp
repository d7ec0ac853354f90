#include "gui/modals.h"

#include "windows/editor.h"
#include "windows/globals.h"

#include <QApplication>
#include <QFileDialog>
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

QWidget* BoxParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    return fMain;
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
    QFileDialog dialog(parent);
    PrepareFileDialog(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExt);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
