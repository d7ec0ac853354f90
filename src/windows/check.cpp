#include "windows/check.h"

#include "gui/colours.h"
#include "gui/errorbox.h"
#include "gui/fonts.h"
#include "gui/zoom.h"
#include "windows/checkdetails.h"
#include "windows/checkworker.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using corvane::suite::TCaseResult;
using corvane::suite::TStatus;

namespace {

constexpr QSize DesignedSize(560, 480);

QPushButton* AddButton(QHBoxLayout* row, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    // Enter belongs to the list (trace the case), never to a default button.
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

} // namespace

TfCheck::TfCheck(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fCheck"));
    setModal(false);

    oCases = new QTreeWidget(this);
    oCases->setObjectName(QStringLiteral("oCases"));
    oCases->setRootIsDecorated(false);
    oCases->setUniformRowHeights(true);
    FollowZoom(oCases, FormFont);
    ZoomByWheel(oCases);
    oCases->setHeaderLabels(
        {QStringLiteral("Result"), QStringLiteral("Case"), QStringLiteral("Points")});
    oCases->header()->setStretchLastSection(false);
    oCases->header()->setSectionResizeMode(ColMark, QHeaderView::ResizeToContents);
    oCases->header()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    oCases->header()->setSectionResizeMode(ColPoints, QHeaderView::ResizeToContents);
    oCases->installEventFilter(this);
    oCases->setAccessibleName(QStringLiteral("Test cases"));
    oCases->setAccessibleDescription(
        QStringLiteral("Enter traces the selected failing case with its input"));
    connect(oCases, &QTreeWidget::currentItemChanged, this, [this] { ShowDetails(); });
    connect(oCases, &QTreeWidget::itemDoubleClicked, this,
            [this] { RunGuarded([this] { TraceSelected(); }); });

    oSummary = new QLabel(this);
    oSummary->setObjectName(QStringLiteral("oSummary"));
    FollowZoom(oSummary, FormFont);

    oDetails = new QPlainTextEdit(this);
    oDetails->setObjectName(QStringLiteral("oDetails"));
    oDetails->setReadOnly(true);
    FollowZoom(oDetails, ProgramFont);
    ZoomByWheel(oDetails);
    oDetails->setAccessibleName(QStringLiteral("Case details"));
    // A caret shows where the keyboard's focus is, and the keys select and copy.
    oDetails->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    oDetails->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QHBoxLayout;
    oTrace = AddButton(buttons, "oTrace", QStringLiteral("&Trace"));
    oTrace->setToolTip(QStringLiteral("Traces the selected failing case with its input"));
    oStop = AddButton(buttons, "oStop", QStringLiteral("&Stop"));
    buttons->addStretch(1);
    oClose = AddButton(buttons, "oClose", QStringLiteral("Close"));
    connect(oTrace, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { TraceSelected(); }); });
    connect(oStop, &QPushButton::clicked, this, &TfCheck::Stop);
    connect(oClose, &QPushButton::clicked, this, &TfCheck::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(oCases, 3);
    layout->addWidget(oSummary);
    layout->addWidget(oDetails, 2);
    layout->addLayout(buttons);
    InstallZoomKeys(this);
    GrowWindow(*this, DesignedSize);
}

TfCheck::~TfCheck() {
    EndWorker();
}

void TfCheck::Start(const QString& caption, corvane::suite::TSuite suite, std::string machineText) {
    EndWorker();
    setWindowTitle(caption);
    suite_ = std::move(suite);
    results_.assign(suite_.Cases.size(), std::nullopt);
    oCases->clear();
    for (std::size_t i = 0; i < suite_.Cases.size(); ++i) {
        auto* item = new QTreeWidgetItem(oCases);
        item->setText(ColName, QString::fromUtf8(suite_.Cases[i].Name));
        item->setTextAlignment(ColPoints, Qt::AlignRight | Qt::AlignVCenter);
        ShowMark(i);
    }
    const uint64_t generation = ++generation_;
    worker_ = std::make_unique<TCheckWorker>(
        suite_, std::move(machineText),
        [this, generation](std::size_t index, const TCaseResult& result) {
            QMetaObject::invokeMethod(
                this, [this, generation, index, result] { CaseDone(generation, index, result); },
                Qt::QueuedConnection);
        },
        [this, generation] {
            QMetaObject::invokeMethod(
                this, [this, generation] { AllDone(generation); }, Qt::QueuedConnection);
        });
    if (oCases->topLevelItemCount() > 0) oCases->setCurrentItem(oCases->topLevelItem(0));
    oCases->setFocus();
    ShowDetails();
    ShowSummary();
}

void TfCheck::CaseDone(uint64_t generation, std::size_t index, const TCaseResult& result) {
    if (generation != generation_ || index >= results_.size()) return;
    results_[index] = result;
    ShowMark(index);
    if (oCases->currentItem() == oCases->topLevelItem(static_cast<int>(index))) ShowDetails();
    ShowSummary();
}

void TfCheck::AllDone(uint64_t generation) {
    if (generation != generation_) return;
    worker_.reset(); // the thread has nothing left to do: the join is at once
    ShowSummary();
}

void TfCheck::Stop() {
    if (!worker_) return;
    EndWorker();
    ShowSummary();
}

void TfCheck::EndWorker() {
    ++generation_;
    worker_.reset();
}

void TfCheck::ShowMark(std::size_t index) {
    QTreeWidgetItem* item = oCases->topLevelItem(static_cast<int>(index));
    const corvane::suite::TCase& c = suite_.Cases[index];
    const std::optional<TCaseResult>& r = results_[index];
    if (!r) {
        item->setText(ColMark, QStringLiteral("..."));
        item->setForeground(ColMark, palette().color(QPalette::PlaceholderText));
        item->setText(ColPoints, QString::number(c.Points));
        return;
    }
    const bool passed = r->Status == TStatus::Passed;
    item->setText(ColMark, passed ? QStringLiteral("PASS") : QStringLiteral("FAIL"));
    // The mark's text says what its colour says, for those who do not see colours.
    item->setForeground(ColMark, passed ? PassColour(palette()) : FailColour(palette()));
    QFont bold = item->font(ColMark);
    bold.setBold(true);
    item->setFont(ColMark, bold);
    item->setText(ColPoints, QStringLiteral("%1/%2").arg(r->Score).arg(r->MaxScore));
}

void TfCheck::ShowDetails() {
    const int row = oCases->indexOfTopLevelItem(oCases->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= suite_.Cases.size()) {
        oDetails->clear();
        oTrace->setEnabled(false);
        return;
    }
    const std::optional<TCaseResult>& r = results_[static_cast<std::size_t>(row)];
    oDetails->setPlainText(
        CaseDetails(suite_.Cases[static_cast<std::size_t>(row)], r ? &*r : nullptr));
    oTrace->setEnabled(Traceable(row));
}

void TfCheck::ShowSummary() {
    int run = 0;
    int passed = 0;
    int64_t score = 0;
    int64_t maxScore = 0;
    for (std::size_t i = 0; i < suite_.Cases.size(); ++i) {
        maxScore += suite_.Cases[i].Points;
        if (!results_[i]) continue;
        ++run;
        if (results_[i]->Status == TStatus::Passed) ++passed;
        score += results_[i]->Score;
    }
    const int cases = static_cast<int>(suite_.Cases.size());
    if (run == cases)
        oSummary->setText(CheckSummary(passed, cases, score, maxScore));
    else if (worker_)
        oSummary->setText(QStringLiteral("Checking: %1 of %2 cases run").arg(run).arg(cases));
    else
        oSummary->setText(QStringLiteral("Stopped: %1 of %2 cases run").arg(run).arg(cases));
    oStop->setEnabled(worker_ != nullptr);
}

bool TfCheck::Traceable(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= results_.size()) return false;
    const std::optional<TCaseResult>& r = results_[static_cast<std::size_t>(row)];
    return r && r->Status == TStatus::Failed && !suite_.Cases[static_cast<std::size_t>(row)].Hidden;
}

void TfCheck::TraceSelected() {
    const int row = oCases->indexOfTopLevelItem(oCases->currentItem());
    if (!Traceable(row) || !TraceRequested) return;
    TraceRequested(QString::fromUtf8(suite_.Cases[static_cast<std::size_t>(row)].Input));
}

void TfCheck::reject() {
    Stop();
    QDialog::reject();
}

// Hidden with the editor, say: the check ends; minimised, it goes on.
void TfCheck::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) Stop();
    QDialog::hideEvent(event);
}

void TfCheck::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange) GrowWindow(*this, DesignedSize);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        for (std::size_t i = 0; i < results_.size(); ++i)
            ShowMark(i);
}

// Enter on a case traces it, as a double-click does.
bool TfCheck::eventFilter(QObject* watched, QEvent* event) {
    if (watched == oCases && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunGuarded([this] { TraceSelected(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
