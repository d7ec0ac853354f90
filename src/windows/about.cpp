#include "windows/about.h"

#include "gui/fonts.h"

#include "core/appstrings.h"
#include "gui/application.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
// The name stands out at 19/11 of the box's font.
constexpr qreal NameScale = 19.0 / 11.0;
} // namespace

TfAbout::TfAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("fAbout"));

    bOk = new QPushButton(QStringLiteral("Ok"), this);
    bOk->setObjectName(QStringLiteral("bOk"));
    bOk->setDefault(true);
    bOk->setAutoDefault(true);
    connect(bOk, &QPushButton::clicked, this, &TfAbout::bOkClick);

    oImage = new QLabel(this);
    oImage->setObjectName(QStringLiteral("oImage"));
    oImage->setAccessibleName(QString::fromUtf8(corvane::Str(corvane::sProduct)) + " icon");

    oAppName = AddLabel("oAppName", QStringLiteral("Corvane"));
    oAuthor = AddLabel("oAuthor", QStringLiteral("Written by the Corvane developers"));
    oAppTitle = AddLabel("oAppTitle", QStringLiteral("A teaching environment for a stack machine"));

    oBevel = new QFrame(this);
    oBevel->setObjectName(QStringLiteral("oBevel"));
    oBevel->setFrameShape(QFrame::HLine);
    oBevel->setFrameShadow(QFrame::Sunken);

    // Short enough to end left of the Ok button, which stands beside it.
    oPurpose = AddLabel("oPurpose", QStringLiteral("For first programming lessons"));

    FormCreate();
}

QLabel* TfAbout::AddLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    return label;
}

void TfAbout::FormCreate() {
    setWindowTitle(QString::fromUtf8(corvane::Str(corvane::sProduct)));
    oAppName->setText(windowTitle());
    Arrange();
    ShowIcon();
}

// The designed places and the box's fixed size, grown with a font bigger
// than the designed one, so that the texts keep their room.
void TfAbout::Arrange() {
    const QFont& shown = font();
    const auto at = [&](int left, int top) {
        return QPoint(Grown(left, shown), Grown(top, shown));
    };
    setFixedSize(Grown(QSize(365, 173), shown));
    bOk->setGeometry(QRect(at(272, 128), Grown(QSize(75, 25), shown)));
    oImage->setGeometry(QRect(at(16, 16), QSize(32, 32)));
    oAppName->setFont(ScaledFont(shown, NameScale));
    const std::pair<QLabel*, QPoint> labels[] = {
        {oAppName, {80, 17}}, {oAuthor, {80, 88}}, {oAppTitle, {80, 48}}, {oPurpose, {80, 112}}};
    for (const auto& [label, place] : labels) {
        label->move(at(place.x(), place.y()));
        label->adjustSize();
    }
    oBevel->setGeometry(QRect(at(80, 72), QSize(Grown(260, shown), 2)));
}

void TfAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange && oBevel) Arrange();
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
