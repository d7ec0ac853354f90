// The input dialog: the program's input values.
#pragma once

#include "core/inputlist.h"

#include <QDialog>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

// Modal results: 1 accepted (InputList holds the values of the memo's text),
// 2 cancelled (OK never accepted; Cancel, Esc and the close box).
class TfInput : public QDialog {
    Q_OBJECT
public:
    static constexpr int ResultAccepted = 1;
    static constexpr int ResultCancelled = 2;

    explicit TfInput(QWidget* parent = nullptr);

    QComboBox* oOldInputs = nullptr;
    QPlainTextEdit* oText = nullptr;
    QPushButton* oOkButton = nullptr;
    QPushButton* oCancelButton = nullptr;

    // Read only from outside: the run hands it to the executor, the break
    // window peeks at it. Every accepted OK parses into this same list.
    corvane::TInputList InputList;

    // The memo's text with CR LF line breaks, as it is parsed.
    QString InputText() const;

    void oOkButtonClick();

    // The exact text of an earlier input (the drop-down shows it on one line).
    QString OldInput(int index) const;
    // Puts an earlier input into the memo as one undoable edit.
    void ChooseOldInput(int index);

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormResize();
    void FitToFont();
    void SelectCrlfChar(int crlfPos);
    void Remember(const QString& text);
    bool OldInputsEvent(QObject* watched, QEvent* event);
    static bool IsEnter(const QEvent* event);

    bool explicitChoice_ = false; // the list was opened since the last browsing

    bool parsing_ = false; // OK is not re-entered from the parse's event passes
};
