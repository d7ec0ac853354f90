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

TMachineMark Mark(const corvane::TProgram& program, const corvane::TInputList* input,
                  uint64_t outputs) {
    TMachineMark mark;
    mark.Steps = program.Steps;
    mark.WR = program.WR;
    mark.InputPos = input ? input->Position() : 0;
    mark.Outputs = outputs;
    const int32_t count = program.StackCount();
    mark.Depths.reserve(static_cast<std::size_t>(count));
    mark.Tops.reserve(static_cast<std::size_t>(count));
    for (int32_t c = 0; c < count; ++c) {
        const auto& values = program.StackAt(c)->Values;
        mark.Depths.push_back(values.size());
        mark.Tops.push_back(values.empty() ? 0 : values.back());
    }
    return mark;
}

QString StackName(const corvane::TProgram& program, int32_t c) {
    const std::string& name = program.StackAt(c)->Name;
    return name.empty() ? QStringLiteral("Primary Stack") : QString::fromLatin1(name);
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
    TMachineMark now = Mark(program, input, outputs);
    // The same pause shown again keeps its comparison; a later pause compares
    // with the one before; an earlier count means another run.
    if (!hasNow_ || now.Steps != now_.Steps) {
        hasBefore_ = hasNow_ && now.Steps > now_.Steps;
        if (hasBefore_) before_ = std::move(now_);
        now_ = std::move(now);
        hasNow_ = true;
    }
    const TMachineMark& before = hasBefore_ ? before_ : now_;

    std::vector<bool> changed(now_.Depths.size(), false);
    if (before.Depths.size() == now_.Depths.size())
        for (std::size_t c = 0; c < now_.Depths.size(); ++c)
            changed[c] = now_.Depths[c] != before.Depths[c] || now_.Tops[c] != before.Tops[c];
    stacks_->Reset(&program, std::move(changed));
    input_->Reset(input ? input->Values() : std::vector<uint32_t>{}, now_.InputPos,
                  now_.InputPos != before.InputPos);

    wrChanged_ = now_.WR != before.WR;
    outputsChanged_ = now_.Outputs != before.Outputs;
    oWR->setText(WRText(now_.WR));
    oSteps->setText(QStringLiteral("Steps: %1").arg(now_.Steps));
    oOutputs->setText(QStringLiteral("Output: ") + Values(now_.Outputs));
    Highlight(oWR, wrChanged_);
    Highlight(oOutputs, outputsChanged_);
    oChanges->setText(Changes(program, before, now_));
    if (const int rows = input_->rowCount(); rows > 0)
        oInput->scrollTo(input_->index(static_cast<int>(
            std::min<std::size_t>(now_.InputPos, static_cast<std::size_t>(rows - 1)))));
}

// In words, what changed since the previous pause: a popped value is shown
// only here, since it is gone from its column.
QString TMachinePane::Changes(const corvane::TProgram& program, const TMachineMark& before,
                              const TMachineMark& now) {
    QStringList parts;
    if (now.WR != before.WR) parts << QStringLiteral("WR was %1").arg(SignedText(before.WR));
    if (before.Depths.size() == now.Depths.size()) {
        for (std::size_t c = 0; c < now.Depths.size(); ++c) {
            const QString name = StackName(program, static_cast<int32_t>(c));
            if (now.Depths[c] == before.Depths[c] + 1)
                parts << QStringLiteral("pushed %1 on %2").arg(SignedText(now.Tops[c]), name);
            else if (now.Depths[c] + 1 == before.Depths[c])
                parts << QStringLiteral("popped %1 off %2").arg(SignedText(before.Tops[c]), name);
            else if (now.Depths[c] != before.Depths[c] || now.Tops[c] != before.Tops[c])
                parts << QStringLiteral("%1 changed").arg(name);
        }
    }
    if (now.InputPos != before.InputPos)
        parts << QStringLiteral("read ") + Values(now.InputPos - before.InputPos);
    if (now.Outputs != before.Outputs)
        parts << QStringLiteral("printed ") + Values(now.Outputs - before.Outputs);
    return parts.join(QStringLiteral("; "));
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
