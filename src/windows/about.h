// The about box: the application's icon, name with version and three lines.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TfAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfAbout(QWidget* parent = nullptr);

    QPushButton* bOk = nullptr;
    QLabel* oImage = nullptr;
    QLabel* oAppName = nullptr;
    QLabel* oAuthor = nullptr;
    QLabel* oAppTitle = nullptr;
    QFrame* oBevel = nullptr;
    QLabel* oPurpose = nullptr;

    void bOkClick();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void Arrange();
    void ShowIcon();
    QLabel* AddLabel(const char* name, const QString& text);
};
