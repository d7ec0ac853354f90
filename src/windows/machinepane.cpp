#include "windows/machinepane.h"

#include "core/inputlist.h"
#include "core/program.h"
#include "gui/colours.h"
#include "gui/fonts.h"
#include "gui/zoom.h"
#include "windows/machinemodels.h"
#include "windows/stacksummary.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int PaneWidth = 320;
constexpr int RowHeight = 16;
constexpr int ColumnWidth = 96;

QString Values(uint64_t count) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? "value" : "values");
}

} // namespace

TMachinePane::TMachinePane(QWidget* parent) : QWidget(parent) {
    setObjectName("oMachine");
    oWR = new QLabel(this);
    oWR->setObjectName("oWR");
    oSteps = new QLabel(this);
    oSteps->setObjectName("oSteps");
    oOutputs = new QLabel(this);
    oOutputs->setObjectName("oOutputs");
    oChanges = new QLabel(this);
    oChanges->setObjectName("oChanges");
    oChanges->setWordWrap(true);

    stacks_ = new TStackTable(this);
    oStacks = new QTableView(this);
    oStacks->setObjectName("oStacks");
    oStacks->setModel(stacks_);
    oStacks->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    oStacks->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    oStacks->setSelectionMode(QAbstractItemView::NoSelection);
    oStacks->setEditTriggers(QAbstractItemView::NoEditTriggers);

    input_ = new TInputModel(this);
    oInput = new QListView(this);
    oInput->setObjectName("oInput");
    oInput->setModel(input_);
    oInput->setUniformItemSizes(true);
    oInput->setSelectionMode(QAbstractItemView::NoSelection);
    oInput->setEditTriggers(QAbstractItemView::NoEditTriggers);
    oStacks->setAccessibleName(QStringLiteral("Stacks"));
    oStacks->setAccessibleDescription(
        QStringLiteral("One column per stack, its top value in the first row"));
    oInput->setAccessibleName(QStringLiteral("Input values not yet read"));

    auto* columns = new QHBoxLayout;
    columns->addWidget(oStacks, 1);
    columns->addWidget(oInput);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    layout->addWidget(oWR);
    layout->addWidget(oSteps);
    layout->addWidget(oOutputs);
    layout->addLayout(columns, 1);
    layout->addWidget(oChanges);
    for (QLabel* label : {oWR, oOutputs})
        label->setAutoFillBackground(true);
    changeEvent(nullptr);

    // The pane's texts and its columns grow with the zoom, as the list does.
    FollowZoom(this, FormFont);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(oStacks), static_cast<QAbstractItemView*>(oInput)}) {
        view->installEventFilter(this);
        FollowZoom(view, ProgramFont);
        ZoomByWheel(view);
    }
    FitTables();
}

int TMachinePane::DesignedWidth() const {
    return Grown(PaneWidth, font());
}

// The designed row height and column width, grown with the tables' font.
void TMachinePane::FitTables() {
    oStacks->verticalHeader()->setDefaultSectionSize(Grown(RowHeight, oStacks->font()));
    oStacks->horizontalHeader()->setDefaultSectionSize(Grown(ColumnWidth, oStacks->font()));
    oInput->setMaximumWidth(Grown(ColumnWidth, oInput->font()));
}

bool TMachinePane::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == oStacks || watched == oInput) && event->type() == QEvent::FontChange)
        FitTables();
    return QWidget::eventFilter(watched, event);
}

QString TMachinePane::WRText(uint32_t value) {
    return QStringLiteral("WR: %1 (0x%2)")
        .arg(SignedText(value))
        .arg(value, 8, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

void TMachinePane::Note(const corvane::TProgram& program, const corvane::TInputList* input,
                        uint64_t outputs) {
    marks_.Note(corvane::MarkOf(program, input, outputs));
    const corvane::TMachineMark& now = marks_.Now();
    const corvane::TMachineMark& before = marks_.Before();
    const corvane::TChanges changes = corvane::Compare(before, now);
    stacks_->Reset(&program, changes.Stacks);
    input_->Reset(input ? input->Values() : std::vector<uint32_t>{}, now.InputPos, changes.Input);

    wrChanged_ = changes.WR;
    outputsChanged_ = changes.Outputs;
    oWR->setText(WRText(now.WR));
    oSteps->setText(QStringLiteral("Steps: %1").arg(now.Steps));
    oOutputs->setText(QStringLiteral("Output: ") + Values(now.Outputs));
    Highlight(oWR, wrChanged_);
    Highlight(oOutputs, outputsChanged_);
    // Names are machine text: one byte a character.
    oChanges->setText(QString::fromLatin1(corvane::DescribeChanges(program, before, now)));
    if (const int rows = input_->rowCount(); rows > 0)
        oInput->scrollTo(input_->index(static_cast<int>(
            std::min<std::size_t>(now.InputPos, static_cast<std::size_t>(rows - 1)))));
}

void TMachinePane::Highlight(QLabel* label, bool on) {
    // Only the roles set here are the label's own: the rest follows the pane.
    QPalette colours;
    if (on) {
        colours.setColor(QPalette::Window, ChangedBackground(palette()));
        colours.setColor(QPalette::WindowText, ChangedText(palette()));
    }
    label->setPalette(colours);
}

// The highlight follows the palette in use.
void TMachinePane::changeEvent(QEvent* event) {
    if (event == nullptr || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ApplicationPaletteChange) {
        const QPalette& colours = palette();
        stacks_->SetColours(ChangedBackground(colours), ChangedText(colours));
        input_->SetColours(SubduedText(colours), ChangedBackground(colours), ChangedText(colours));
        Highlight(oWR, wrChanged_);
        Highlight(oOutputs, outputsChanged_);
    }
    if (event != nullptr) QWidget::changeEvent(event);
}
