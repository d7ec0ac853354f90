#include "windows/about.h"

#include "gui/fonts.h"

#include "core/appstrings.h"
#include "gui/application.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TfAbout::TfAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("fAbout"));
    setFont(FormFont());
    setFixedSize(365, 173);

    bOk = new QPushButton(QStringLiteral("Ok"), this);
    bOk->setObjectName(QStringLiteral("bOk"));
    bOk->setGeometry(272, 128, 75, 25);
    bOk->setDefault(true);
    bOk->setAutoDefault(true);
    connect(bOk, &QPushButton::clicked, this, &TfAbout::bOkClick);

    oImage = new QLabel(this);
    oImage->setObjectName(QStringLiteral("oImage"));
    oImage->setGeometry(16, 16, 32, 32);

    oAppName = AddLabel("oAppName", 80, 17, QString());
    oAppName->setFont(FormFont(19));
    oAuthor = AddLabel("oAuthor", 80, 88, QStringLiteral("Written by the Corvane developers"));
    oAppTitle =
        AddLabel("oAppTitle", 80, 48, QStringLiteral("A teaching environment for a stack machine"));

    oBevel = new QFrame(this);
    oBevel->setObjectName(QStringLiteral("oBevel"));
    oBevel->setFrameShape(QFrame::HLine);
    oBevel->setFrameShadow(QFrame::Sunken);
    oBevel->setGeometry(80, 72, 260, 2);

    // Short enough to end left of the Ok button, which stands beside it.
    oPurpose = AddLabel("oPurpose", 80, 112, QStringLiteral("For first programming lessons"));

    FormCreate();
}

QLabel* TfAbout::AddLabel(const char* name, int left, int top, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TfAbout::FormCreate() {
    setWindowTitle(QString::fromUtf8(corvane::Str(corvane::sProduct)));
    oAppName->setText(windowTitle());
    oAppName->adjustSize();
    ShowIcon();
}

// The icon's pixels for the screen the box is on: 64 for a 32-pixel image at
// twice the density, picked from the icon's sizes rather than scaled up.
void TfAbout::ShowIcon() {
    const qreal ratio = oImage->devicePixelRatioF();
    if (!oImage->pixmap().isNull() && oImage->pixmap().devicePixelRatio() == ratio) return;
    oImage->setPixmap(AppIcon().pixmap(oImage->size(), ratio));
}

void TfAbout::showEvent(QShowEvent* event) {
    ShowIcon();
    QDialog::showEvent(event);
}

void TfAbout::bOkClick() {
    accept();
}
