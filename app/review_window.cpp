#include "app/review_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include <initializer_list>

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/current_chart.h"
#include "app/input_messages.h"
#include "app/loss_chart.h"
#include "app/main_window.h"
#include "app/mains_input_row.h"
#include "app/picture_box.h"
#include "app/review_conditions_panel.h"
#include "app/review_tables.h"
#include "app/review_texts.h"
#include "app/simulation_panel.h"
#include "design/input_rules.h"
#include "export/winding_texts.h"
#include "platform/text.h"
#include "review/core_advice.h"
#include "review/review.h"
#include "review/review_display.h"

namespace fbc {

namespace {

const QString kTitle = QStringLiteral("設計レビュー");

// The chart's picture: wide enough for the names, two panels and their values, tall enough for
// a row per catalogue core; it fits the 「損失と温度」 tab of the window's opening size, under
// the conditions' pages of four rows.
constexpr QSize kChartSize(580, 366);
// Two plots side by side in the tab.
constexpr QSize kCurrentPlotSize(440, 330);
// The insulation's eight figures (isolationRows), two to a row.
constexpr int kIsolationTableRows = 4;
// The flags' list is never lower than this many lines of text.
constexpr int kFewestFlagLines = 4;

QString levelText(CoreLevel level) {
  switch (level) {
    case CoreLevel::Hi:
      return QStringLiteral("高温");
    case CoreLevel::Typ:
      return QStringLiteral("普通");
    case CoreLevel::Lo:
      return QStringLiteral("低温");
    case CoreLevel::None:
      break;
  }
  return QStringLiteral("なし");
}

// "全損失[W]": a loss quantity's caption and unit as a column header.
QString header(std::string_view name) {
  const ReviewDisplay* d = reviewDisplay(name);
  return d == nullptr ? qs(name)
                      : qs(d->caption) + QStringLiteral("[") + qs(d->unitJa) + QStringLiteral("]");
}

// A loss quantity as the review shows it, with its unit: "83.2 ℃".
QString shown(std::string_view name, double value) {
  const ReviewDisplay* d = reviewDisplay(name);
  return d == nullptr ? QString::number(value)
                      : QString::fromStdString(reviewValueText(*d, value)) + QStringLiteral(" ") +
                            qs(d->unitJa);
}

// What a person hears for the chart: each core's total loss and core temperature.
QString chartDescription(const CoreAdvice& advice, const ReviewConditions& conditions) {
  const std::vector<LossChartRow> rows = lossChartRows(advice);
  if (rows.empty()) {
    return QStringLiteral("製作できるコアはありません。");
  }
  QStringList parts;
  for (const LossChartRow& row : rows) {
    parts << QStringLiteral("%1: %2 %3、%4 %5")
                 .arg(qs(row.core), qs(reviewDisplay("Ptotal")->caption),
                      shown("Ptotal", row.Ptotal), qs(reviewDisplay("Tcore")->caption),
                      shown("Tcore", row.Tcore));
  }
  return parts.join(QStringLiteral("。")) +
         QStringLiteral("。上限温度 %1 ℃。").arg(conditions.maxTemperature);
}

// Where the leakage the clamp is sized for comes from, and how to do better than an estimate.
QString clampNote(const SwitchStress& stress) {
  const QString field = qs(reviewInputInfo(ReviewInput::Leakage).caption);
  if (!stress.leakageKnown) {
    return QStringLiteral(
               "二次を短絡して一次側で測った漏れインダクタンスを「%1」に入れると、その値で"
               "クランプを選びます。")
        .arg(field);
  }
  if (!stress.LlkEstimated) {
    return stress.clampNeeded()
               ? QStringLiteral("「%1」に入れた実測値でクランプを選んでいます。").arg(field)
               : QStringLiteral("「%1」が 0 のため、クランプは不要です。").arg(field);
  }
  return QStringLiteral(
             "漏れインダクタンスは巻線の配置から推定した値です。二次を短絡して一次側で"
             "測った値を「%1」に入れると、その値でクランプを選び直します。")
      .arg(field);
}

}  // namespace

ReviewWindow::ReviewWindow(MainWindow& main) : QWidget(&main, Qt::Window), main_(main) {
  setObjectName(QStringLiteral("ReviewWindow"));
  setWindowTitle(kTitle);

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("reviewSummary"));
  summary_->setWordWrap(true);
  QFont bold = summary_->font();
  bold.setBold(true);
  summary_->setFont(bold);

  conditionsPanel_ = new ReviewConditionsPanel(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("reviewTabs"));
  tabs_->addTab(createReviewTab(), QStringLiteral("レビュー"));
  tabs_->addTab(createLossesTab(), QStringLiteral("損失と温度"));
  tabs_->addTab(createStressTab(), QStringLiteral("スイッチとクランプ"));
  tabs_->addTab(createCurrentsTab(), QStringLiteral("電流波形"));
  simulation_ = new SimulationPanel(this);
  tabs_->addTab(simulation_, QStringLiteral("回路シミュレーション"));
  tabs_->addTab(createAdviceTab(), QStringLiteral("コアの選択"));

  close_ = new QPushButton(QStringLiteral("閉じる"), this);
  close_->setObjectName(QStringLiteral("reviewClose"));
  close_->setAccessibleName(QStringLiteral("閉じる"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(conditionsPanel_);
  layout->addWidget(tabs_, 1);
  layout->addLayout(buttons);

  setTabOrders();

  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  connect(advice_, &QTableWidget::cellActivated, this, [this](int row, int) { useCore(row); });
  auto* escape = new QAction(this);
  escape->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(escape, &QAction::triggered, this, &QWidget::close);
  addAction(escape);

  connect(conditionsPanel_, &ReviewConditionsPanel::changed, this, &ReviewWindow::refresh);
  connect(conditionsPanel_, &ReviewConditionsPanel::valleyChosen, this, &ReviewWindow::useValley);
  connect(&main_, &MainWindow::calculationCompleted, this,
          [this](const DesignInputs& inputs) { showReview(inputs, main_.designState()); });
  connect(&main_, &MainWindow::displayCleared, this, &ReviewWindow::clearReview);

  // Fits a 1024×768 screen with the desktop's panels and the window's frame.
  resize(980, 680);
  clearReview();
}

void ReviewWindow::setTabOrders() {
  QWidget* previous = nullptr;
  const auto next = [&previous](QWidget* control) {
    if (previous != nullptr) {
      setTabOrder(previous, control);
    }
    previous = control;
  };
  for (QWidget* control : conditionsPanel_->focusChain()) {
    next(control);
  }
  // The tab bar itself: the tab widget as its own link would leave the chain at its pages.
  tabs_->tabBar()->setAccessibleName(QStringLiteral("表示する内容"));
  for (QWidget* control : std::initializer_list<QWidget*>{
           tabs_->tabBar(), numbers_, outputs_, isolation_, flags_, losses_, chart_, stress_,
           clampParts_, currentPlots_[0], currentPlots_[1]}) {
    next(control);
  }
  for (QWidget* control : simulation_->focusChain()) {
    next(control);
  }
  next(advice_);
  next(close_);
}

namespace {

// The start conditions with the drive mode and its own input as typed (another mode's input
// keeps its default), or nothing while the mode's own input cannot be used.
std::optional<ReviewConditions> modeConditions(const ReviewInputs& typed) {
  ReviewInputs modeOnly;
  modeOnly.text(ReviewInput::Mode) = typed.text(ReviewInput::Mode);
  const std::optional<DriveMode> mode = driveModeByCode(toUtf8(typed.text(ReviewInput::Mode)));
  if (mode == DriveMode::PwmCcm) {
    modeOnly.text(ReviewInput::Ripple) = typed.text(ReviewInput::Ripple);
  } else if (mode == DriveMode::Qr) {
    modeOnly.text(ReviewInput::DrainCapacitance) = typed.text(ReviewInput::DrainCapacitance);
  }
  const ReviewInputReading reading = readReviewInputs(modeOnly);
  if (reading.problem) {
    return std::nullopt;
  }
  return reading.conditions;
}

}  // namespace

QWidget* ReviewWindow::createReviewTab() {
  auto* page = new QWidget(this);
  numbers_ = numberTable(QStringLiteral("reviewNumbers"), QStringLiteral("設計値"), page);

  flags_ = new QListWidget(page);
  flags_->setObjectName(QStringLiteral("reviewFlags"));
  flags_->setAccessibleName(QStringLiteral("指摘事項"));
  flags_->setWordWrap(true);
  flags_->setSpacing(3);
  flags_->setItemDelegate(new SentenceDelegate(flags_));
  // The sentences wrap again when the window is resized, not only when they are filled in.
  flags_->setResizeMode(QListView::Adjust);
  flags_->setSelectionMode(QAbstractItemView::SingleSelection);
  // The outputs and the insulation above take their rows first; the flags take what is left,
  // never fewer than a few lines, and scroll.
  flags_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  flags_->setMinimumHeight(kFewestFlagLines * flags_->fontMetrics().lineSpacing() +
                           2 * flags_->frameWidth());

  outputs_ = readOnlyTable(outputResultHeaders(), page);
  outputs_->setObjectName(QStringLiteral("outputResults"));
  outputs_->setAccessibleName(QStringLiteral("各出力の巻数・電圧・電流"));
  outputs_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  outputs_->horizontalHeader()->setStretchLastSection(true);
  outputs_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // As high as its rows where there is room; the flags beneath take the rest.
  outputs_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  outputs_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  showOutputs(DesignReview{});

  // Two figures to a row, each its label and its value with the unit: the whole insulation in
  // a few rows.
  isolation_ = readOnlyTable(
      {QStringLiteral("項目"), QStringLiteral("値"), QStringLiteral("項目"), QStringLiteral("値")},
      page);
  isolation_->setObjectName(QStringLiteral("isolationResults"));
  isolation_->setAccessibleName(QStringLiteral("一次・二次間の絶縁"));
  isolation_->horizontalHeader()->setVisible(false);
  isolation_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  isolation_->horizontalHeader()->setStretchLastSection(true);
  isolation_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  isolation_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  isolation_->setFixedHeight(kIsolationTableRows *
                                 isolation_->verticalHeader()->defaultSectionSize() +
                             2 * isolation_->frameWidth());

  auto* numbersBox = new QGroupBox(QStringLiteral("設計値"), page);
  (new QVBoxLayout(numbersBox))->addWidget(numbers_);
  auto* outputsBox = new QGroupBox(QStringLiteral("出力 (整数の巻数で)"), page);
  (new QVBoxLayout(outputsBox))->addWidget(outputs_);
  auto* isolationBox = new QGroupBox(QStringLiteral("絶縁 (一次・二次間)"), page);
  (new QVBoxLayout(isolationBox))->addWidget(isolation_);
  auto* flagsBox = new QGroupBox(QStringLiteral("指摘事項"), page);
  (new QVBoxLayout(flagsBox))->addWidget(flags_);

  auto* side = new QVBoxLayout;
  side->addWidget(outputsBox);
  side->addWidget(isolationBox);
  side->addWidget(flagsBox, 1);
  auto* columns = new QHBoxLayout(page);
  columns->addWidget(numbersBox, 2);
  columns->addLayout(side, 3);
  return page;
}

QWidget* ReviewWindow::createLossesTab() {
  auto* page = new QWidget(this);
  lossSummary_ = new QLabel(page);
  lossSummary_->setObjectName(QStringLiteral("lossSummary"));
  lossSummary_->setWordWrap(true);
  losses_ = numberTable(QStringLiteral("reviewLosses"), QStringLiteral("損失と温度"), page);

  chart_ = new PictureBox(kChartSize, page);
  chart_->setObjectName(QStringLiteral("lossChart"));
  chart_->setAccessibleName(QStringLiteral("製作できるコアの損失と温度のグラフ"));
  auto* scroll = new QScrollArea(page);
  scroll->setWidget(chart_);
  scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scroll->setFrameShape(QFrame::NoFrame);
  // Tab goes to the chart itself, not to the area around it.
  scroll->setFocusPolicy(Qt::NoFocus);
  // Only the picture shows, not the viewport's ground around it.
  scroll->viewport()->setAutoFillBackground(false);

  auto* lossesBox = new QGroupBox(QStringLiteral("この設計の損失"), page);
  auto* lossesLayout = new QVBoxLayout(lossesBox);
  lossesLayout->addWidget(lossSummary_);
  lossesLayout->addWidget(losses_);
  auto* chartBox = new QGroupBox(QStringLiteral("製作できるコアの損失と温度"), page);
  auto* chartLayout = new QVBoxLayout(chartBox);
  chartLayout->addWidget(scroll, 1);
  chartLayout->addStretch();

  auto* columns = new QHBoxLayout(page);
  columns->addWidget(lossesBox, 1);
  columns->addWidget(chartBox, 0);
  // The chart box asks for the whole picture's width, with room for a scroll bar should the
  // window be made lower than the picture; the table takes what is left.
  const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  scroll->setMinimumWidth(kChartSize.width() + bar);
  scroll->setMaximumSize(kChartSize.width() + bar, kChartSize.height());
  return page;
}

QWidget* ReviewWindow::createStressTab() {
  auto* page = new QWidget(this);
  stressSummary_ = new QLabel(page);
  stressSummary_->setObjectName(QStringLiteral("stressSummary"));
  stressSummary_->setWordWrap(true);
  stress_ = numberTable(QStringLiteral("reviewStress"), QStringLiteral("スイッチとクランプ"), page);

  clampParts_ = readOnlyTable({QStringLiteral("部品"), QStringLiteral("購入する値")}, page);
  clampParts_->setObjectName(QStringLiteral("clampParts"));
  clampParts_->setAccessibleName(QStringLiteral("購入するクランプ部品"));
  clampParts_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  clampParts_->horizontalHeader()->setStretchLastSection(true);
  // Always the resistor and the capacitor: the table is as high as its two rows.
  clampParts_->setRowCount(2);
  clampParts_->setFixedHeight(clampParts_->horizontalHeader()->sizeHint().height() +
                              2 * clampParts_->verticalHeader()->defaultSectionSize() +
                              2 * clampParts_->frameWidth());
  clampParts_->setRowCount(0);
  clampParts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  clampNote_ = new QLabel(page);
  clampNote_->setObjectName(QStringLiteral("clampNote"));
  clampNote_->setWordWrap(true);

  auto* stressBox = new QGroupBox(QStringLiteral("スイッチ・ダイオードとクランプ"), page);
  auto* stressLayout = new QVBoxLayout(stressBox);
  stressLayout->addWidget(stressSummary_);
  stressLayout->addWidget(stress_);
  auto* partsBox = new QGroupBox(QStringLiteral("購入するクランプ部品"), page);
  partsBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  auto* partsLayout = new QVBoxLayout(partsBox);
  partsLayout->addWidget(clampParts_);
  partsLayout->addWidget(clampNote_);
  auto* side = new QVBoxLayout;
  side->addWidget(partsBox);
  side->addStretch();

  auto* columns = new QHBoxLayout(page);
  columns->addWidget(stressBox, 3);
  columns->addLayout(side, 2);
  return page;
}

QWidget* ReviewWindow::createCurrentsTab() {
  auto* page = new QWidget(this);
  auto* columns = new QHBoxLayout(page);
  const std::array<std::pair<const char*, QString>, 2> plots = {{
      {"primaryCurrentPlot", QStringLiteral("一次電流の波形 (2周期)")},
      {"secondaryCurrentPlot", QStringLiteral("二次電流の波形 (2周期)")},
  }};
  for (std::size_t i = 0; i < plots.size(); ++i) {
    auto* box = new QGroupBox(plots[i].second, page);
    auto* plot = new PictureBox(kCurrentPlotSize, box);
    plot->setObjectName(QLatin1String(plots[i].first));
    plot->setAccessibleName(plots[i].second);
    plot->setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(plot);
    layout->addStretch();
    columns->addWidget(box);
    currentPlots_[i] = plot;
  }
  columns->addStretch();
  return page;
}

QWidget* ReviewWindow::createAdviceTab() {
  auto* page = new QWidget(this);
  adviceSummary_ = new QLabel(page);
  adviceSummary_->setObjectName(QStringLiteral("adviceSummary"));
  adviceSummary_->setWordWrap(true);

  advice_ = readOnlyTable(
      {QStringLiteral("コア"), QStringLiteral("判定"), QStringLiteral("Np/Ns"),
       QStringLiteral("ギャップ[mm]"), QStringLiteral("占積率[%]"), QStringLiteral("許容[%]"),
       QStringLiteral("Bpk[T]"), header("Ptotal"), header("Tcore"), QStringLiteral("指摘")},
      page);
  advice_->setObjectName(QStringLiteral("coreAdvice"));
  advice_->setAccessibleName(QStringLiteral("コアの提案"));
  advice_->setAccessibleDescription(
      QStringLiteral("行をダブルクリックするかEnterキーでそのコアをコア選択に入れます"));
  advice_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  advice_->horizontalHeader()->setStretchLastSection(true);
  advice_->setToolTip(advice_->accessibleDescription());

  auto* box = new QGroupBox(QStringLiteral("コアの提案 (ダブルクリックでコア選択へ)"), page);
  auto* boxLayout = new QVBoxLayout(box);
  boxLayout->addWidget(adviceSummary_);
  boxLayout->addWidget(advice_);
  (new QVBoxLayout(page))->addWidget(box);
  return page;
}

ReviewInputs ReviewWindow::reviewInputs() const { return conditionsPanel_->inputs(); }

std::optional<double> ReviewWindow::designVin() const {
  if (!inputs_) {
    return std::nullopt;
  }
  return static_cast<double>(state_.Vin);
}

ReviewWindow::ConditionReading ReviewWindow::readConditions() const {
  ConditionReading read{readReviewInputs(reviewInputs(), designVin()), std::nullopt};
  ReviewConditions& c = read.reading.conditions;
  if (read.reading.problem || !c.mains || !inputs_) {
    return read;
  }
  // As the command line designs: the input power of the design's outputs over its efficiency,
  // and the capacitor must keep the valley at or above the lowest input a design takes.
  const double pin = outputPower(state_, c) / static_cast<double>(state_.Effi);
  const SupplyReading supply = readSupply(c, pin, limitRule(LimitedBox::Vin).lower);
  if (supply.problem) {
    read.reading.problem = supply.problem;
    return read;
  }
  read.supply = supply.supply;
  c.vinMax = supply.supply->VDCmax;
  return read;
}

std::optional<ReviewConditions> ReviewWindow::conditions() const {
  const ConditionReading read = readConditions();
  if (read.reading.problem) {
    return std::nullopt;
  }
  return read.reading.conditions;
}

ReviewWindow::ConditionReading ReviewWindow::markConditions() {
  ConditionReading read = readConditions();
  conditionsPanel_->showProblem(read.reading.problem);
  MainsInputRow& mains = conditionsPanel_->mains();
  if (!mains.given()) {
    mains.showNoSupply(MainsInputRow::NoSupply::NotGiven);
  } else if (!inputs_) {
    mains.showNoSupply(MainsInputRow::NoSupply::NoDesign);
  } else if (!read.supply) {
    mains.showNoSupply(MainsInputRow::NoSupply::Unusable);
  } else {
    mains.showSupply(*read.supply, static_cast<double>(state_.Vin));
  }
  return read;
}

void ReviewWindow::showReview(const DesignInputs& inputs, const DesignState& state) {
  inputs_ = inputs;
  state_ = state;
  stale_ = !isVisible();
  if (!stale_) {
    refresh();
  }
}

void ReviewWindow::showEvent(QShowEvent* event) {
  if (stale_) {
    stale_ = false;
    refresh();
  }
  QWidget::showEvent(event);
}

void ReviewWindow::refresh() {
  ReviewInputReading reading = markConditions().reading;
  std::optional<ReviewConditions> conditions =
      reading.problem ? std::nullopt : std::optional<ReviewConditions>(reading.conditions);
  if (!inputs_) {
    return;
  }
  const QString core = QString::fromStdU16String(state_.CoreSel);
  setWindowTitle(core.isEmpty() ? kTitle : kTitle + QStringLiteral(" — ") + core);

  const std::optional<double> swing = levelSwing(inputs_->level);
  // The design's own numbers depend on the drive mode alone; while another condition cannot be
  // used they are still shown, worked out in the chosen mode and the start conditions. While
  // the mode's own input cannot be used there are none.
  const auto reviewIn = [&](const std::optional<ReviewConditions>& in) {
    return swing && in ? reviewDesign(state_, *swing, *in) : DesignReview{};
  };
  DesignReview review = reviewIn(conditions ? conditions : modeConditions(reviewInputs()));
  // The current limit is judged against the peak current, which only the review knows.
  if (const std::optional<ReviewInputProblem> problem =
          conditions && review.valid ? checkCurrentLimit(*conditions, review.Ipk) : std::nullopt) {
    conditionsPanel_->showProblem(problem);
    reading.problem = problem;
    conditions.reset();
    review = reviewIn(modeConditions(reviewInputs()));
  }
  summary_->setText(summaryText(core, review, swing.has_value(), reading));
  fillNumberTable(*numbers_, reviewRows(review));
  clearConditionResults();
  if (!swing) {
    return;
  }
  if (!conditions) {
    lossSummary_->setText(QStringLiteral("条件に使えない入力があるため、損失は表示していません。"));
    stressSummary_->setText(QStringLiteral(
        "条件に使えない入力があるため、スイッチの電圧とクランプは表示していません。"));
    return;
  }
  showFlags(review);
  showOutputs(review);
  showIsolation(review, *conditions);
  showLosses(review, *conditions);
  showStress(review);
  showCurrents(review);
  simulation_->setDesign(state_, review, *conditions);
  showAdvice(adviseCores(*inputs_, catalogue_, *swing, *conditions), *conditions);
}

QString ReviewWindow::summaryText(const QString& core, const DesignReview& review, bool levelChosen,
                                  const ReviewInputReading& reading) const {
  const std::optional<double> swing = levelSwing(inputs_->level);
  QString summary = core + QStringLiteral(" / コア温度 ") + levelText(inputs_->level);
  if (swing) {
    summary += QStringLiteral(" (ΔB %1 T)").arg(*swing, 0, 'g', 3);
  }
  QString verdict = QStringLiteral("コア温度レベルが選ばれていません。");
  if (levelChosen && reading.problem) {
    verdict = QStringLiteral("「%1」が使えないため、判定していません。%2")
                  .arg(qs(reviewInputInfo(reading.problem->input).caption),
                       qs(reviewInputFaultTextJa(*reading.problem)));
  } else if (levelChosen) {
    verdict = qs(reviewVerdict(review));
  }
  summary += QStringLiteral("：") + verdict;
  if (!catalogue_.find(state_.CoreSel)) {
    summary += QStringLiteral(" (カタログにない名前のため、前回のコアの数値で計算しています)");
  }
  return summary;
}

void ReviewWindow::showFlags(const DesignReview& review) {
  for (ReviewFlag flag : review.flags) {
    auto* item = new QListWidgetItem(
        QStringLiteral("・") + QString::fromStdU16String(reviewFlagSentence(flag)), flags_);
    item->setToolTip(QString::fromLatin1(reviewFlagCode(flag).data(),
                                         static_cast<int>(reviewFlagCode(flag).size())));
    if (isBlockingFlag(flag)) {
      item->setForeground(QColor(176, 0, 0));
    }
  }
  if (review.valid && review.flags.empty()) {
    flags_->addItem(QStringLiteral("指摘事項はありません。"));
  }
}

void ReviewWindow::showOutputs(const DesignReview& review) {
  const std::vector<OutputResultRow> rows = outputResultRows(review);
  outputs_->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const OutputResultRow& row = rows[static_cast<std::size_t>(i)];
    outputs_->setItem(i, 0, readOnlyCell(row.winding));
    for (int k = 0; k < static_cast<int>(row.cells.size()); ++k) {
      outputs_->setItem(i, k + 1, readOnlyCell(row.cells[k], Qt::AlignRight));
    }
    if (row.off) {
      outputs_->item(i, 4)->setForeground(QColor(176, 0, 0));
    }
  }
  // Never lower than three rows, so that eight outputs and the bias do not make the window taller
  // than a 1024×768 screen; a scroll bar then shows the rest.
  constexpr int kFewestRows = 3;
  const int shown = std::clamp(static_cast<int>(rows.size()), 1, kFewestRows);
  outputs_->setMinimumHeight(outputs_->horizontalHeader()->sizeHint().height() +
                             shown * outputs_->verticalHeader()->defaultSectionSize() +
                             2 * outputs_->frameWidth());
}

void ReviewWindow::showIsolation(const DesignReview& review, const ReviewConditions& conditions) {
  const std::vector<ReviewRow> rows = isolationRows(review, conditions);
  isolation_->setRowCount(static_cast<int>(rows.size() + 1) / 2);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const ReviewRow& row = rows[static_cast<std::size_t>(i)];
    QTableWidgetItem* label = readOnlyCell(row.label);
    label->setToolTip(row.name);
    QTableWidgetItem* value = readOnlyCell(row.value, Qt::AlignRight);
    // Margins that leave the windings too little breadth are flagged: the breadth stands out.
    if (row.name == QLatin1String("windingBreadth") && !review.isolation.fits) {
      value->setForeground(QColor(176, 0, 0));
    }
    isolation_->setItem(i / 2, 2 * (i % 2), label);
    isolation_->setItem(i / 2, 2 * (i % 2) + 1, value);
  }
}

void ReviewWindow::showLosses(const DesignReview& review, const ReviewConditions& conditions) {
  const TransformerLosses& l = review.losses;
  std::vector<ReviewRow> rows = windingRows(l);
  const std::vector<ReviewRow> numbers = lossRows(l);
  rows.insert(rows.end(), numbers.begin(), numbers.end());
  fillNumberTable(*losses_, rows);
  if (!l.valid) {
    lossSummary_->setText(QStringLiteral("この設計の損失は計算できません。"));
    return;
  }
  conditionsPanel_->setReviewedWires(l);
  const QString temperature =
      l.temperatureKnown()
          ? shown("Tcore", l.Tcore) + QStringLiteral(" (上限 %1 ℃)").arg(conditions.maxTemperature)
          : QStringLiteral("—");
  QString summary = QStringLiteral("%1、周囲温度 %2：コア温度 %3")
                        .arg(qs(l.material), shown("Tambient", l.Tambient), temperature);
  // The order on a line of its own: it wraps in the narrow column only for many windings.
  summary += QStringLiteral("\n巻線配置 %1\n中心から %2")
                 .arg(arrangementNameJa(l.arrangement), windingOrderTextJa(l));
  if (!l.fits) {
    summary += QStringLiteral("\n") + lossesNotEstimatedJa();
  } else if (!l.converged) {
    summary += QStringLiteral("\n") + runawayNotEstimatedJa();
  }
  lossSummary_->setText(summary);
  if (review.has(ReviewFlag::TooHot) || !l.temperatureKnown()) {
    QPalette palette = lossSummary_->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    lossSummary_->setPalette(palette);
  }
}

void ReviewWindow::showStress(const DesignReview& review) {
  const SwitchStress& st = review.stress;
  fillNumberTable(*stress_, stressRows(st, review.mode));
  const std::vector<ReviewRow> parts = clampPartRows(st);
  clampParts_->setRowCount(static_cast<int>(parts.size()));
  for (int i = 0; i < static_cast<int>(parts.size()); ++i) {
    const ReviewRow& part = parts[static_cast<std::size_t>(i)];
    QTableWidgetItem* label = readOnlyCell(part.label);
    label->setToolTip(part.name);
    clampParts_->setItem(i, 0, label);
    clampParts_->setItem(i, 1, readOnlyCell(part.value));
  }
  if (!st.valid) {
    stressSummary_->setText(QStringLiteral("この設計のスイッチの電圧とクランプは計算できません。"));
    return;
  }
  clampNote_->setText(clampNote(st));
  QString summary =
      QStringLiteral("最大入力電圧 %1：スイッチ最大電圧 %2 (定格 %3)、ダイオード最大逆電圧 %4")
          .arg(shown("VinMax", st.VinMax), shown("VdsMax", st.VdsMax),
               shown("VdsRating", st.VdsRating), shown("VdRevMax", st.VdRevMax));
  if (!st.leakageKnown) {
    summary += QStringLiteral("\n") + leakageNotEstimatedJa();
  }
  stressSummary_->setText(summary);
  if (review.has(ReviewFlag::SwitchOvervoltage)) {
    QPalette palette = stressSummary_->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    stressSummary_->setPalette(palette);
  }
}

void ReviewWindow::showAdvice(const CoreAdvice& advice, const ReviewConditions& conditions) {
  adviceSummary_->setText(
      advice.recommended
          ? QStringLiteral("推奨コア: %1").arg(QString::fromStdU16String(*advice.recommended))
          : QStringLiteral("この入力で製作できるコアはカタログにありません。"));
  advice_->setRowCount(static_cast<int>(advice.cores.size()));
  for (int i = 0; i < static_cast<int>(advice.cores.size()); ++i) {
    const CoreReview& c = advice.cores[static_cast<std::size_t>(i)];
    const DesignReview& r = c.review;
    const bool recommended = advice.recommended && *advice.recommended == c.core;
    QString verdict = QStringLiteral("—");
    if (r.valid) {
      verdict = recommended ? QStringLiteral("推奨")
                            : (r.feasible ? QStringLiteral("可") : QStringLiteral("不可"));
    }
    const auto numberOr = [&r](double v, int decimals) {
      return r.valid ? QString::number(v, 'f', decimals) : QStringLiteral("—");
    };
    // Windings that do not fit the bobbin or run away give no total and no temperature.
    const auto lossOr = [&r](std::string_view name, double v) {
      const ReviewDisplay* d = reviewDisplay(name);
      return r.losses.valid && r.losses.temperatureKnown() && d != nullptr
                 ? QString::fromStdString(reviewValueText(*d, v))
                 : QStringLiteral("—");
    };
    QTableWidgetItem* name = readOnlyCell(QString::fromStdU16String(c.core));
    if (recommended) {
      QFont font = name->font();
      font.setBold(true);
      name->setFont(font);
    }
    advice_->setItem(i, 0, name);
    advice_->setItem(i, 1, readOnlyCell(verdict, Qt::AlignHCenter));
    advice_->setItem(
        i, 2,
        readOnlyCell(r.valid ? QStringLiteral("%1/%2").arg(r.Np).arg(r.Ns) : QStringLiteral("—"),
                     Qt::AlignRight));
    advice_->setItem(i, 3, readOnlyCell(numberOr(r.gap * 1e3, 2), Qt::AlignRight));
    advice_->setItem(i, 4, readOnlyCell(numberOr(r.fill, 1), Qt::AlignRight));
    advice_->setItem(i, 5, readOnlyCell(numberOr(r.fillAllowed, 0), Qt::AlignRight));
    advice_->setItem(i, 6, readOnlyCell(numberOr(r.Bpk, 3), Qt::AlignRight));
    advice_->setItem(i, 7, readOnlyCell(lossOr("Ptotal", r.losses.Ptotal), Qt::AlignRight));
    advice_->setItem(i, 8, readOnlyCell(lossOr("Tcore", r.losses.Tcore), Qt::AlignRight));
    QStringList notes;
    for (ReviewFlag flag : r.flags) {
      notes << QString::fromStdU16String(reviewFlagShortName(flag));
    }
    QTableWidgetItem* noteCell = readOnlyCell(notes.join(QStringLiteral("、")));
    noteCell->setToolTip(noteCell->text());
    advice_->setItem(i, 9, noteCell);
  }
  drawLossChart(chart_->surface(), advice, conditions);
  chart_->setAccessibleDescription(chartDescription(advice, conditions));
  chart_->update();
}

void ReviewWindow::showCurrents(const DesignReview& review) {
  const std::vector<CurrentTrace> traces = currentTraces(review);
  for (std::size_t i = 0; i < traces.size() && i < currentPlots_.size(); ++i) {
    drawCurrentPlot(currentPlots_[i]->surface(), traces[i], static_cast<double>(state_.T));
    currentPlots_[i]->setAccessibleDescription(qs(currentPlotDescription(traces[i])));
    currentPlots_[i]->update();
  }
}

void ReviewWindow::clearConditionResults() {
  flags_->clear();
  showOutputs(DesignReview{});
  isolation_->setRowCount(0);
  losses_->setRowCount(0);
  lossSummary_->setText(QString());
  lossSummary_->setPalette(QPalette());
  stress_->setRowCount(0);
  clampParts_->setRowCount(0);
  stressSummary_->setText(QString());
  stressSummary_->setPalette(QPalette());
  clampNote_->setText(QString());
  conditionsPanel_->clearReviewedWires();
  adviceSummary_->setText(QString());
  advice_->setRowCount(0);
  chart_->surface().cls();
  chart_->setAccessibleDescription(QString());
  chart_->update();
  for (PictureBox* plot : currentPlots_) {
    plot->surface().cls();
    plot->setAccessibleDescription(QString());
    plot->update();
  }
  simulation_->clearDesign();
}

void ReviewWindow::useValley(const QString& vin) {
  if (auto* box = main_.findChild<QLineEdit*>(QStringLiteral("txtVin"))) {
    box->setText(vin);
  }
}

void ReviewWindow::clearReview() {
  inputs_.reset();
  stale_ = false;
  setWindowTitle(kTitle);
  summary_->setText(
      QStringLiteral("まだ計算結果がありません。シミュレーション開始ボタンで計算すると"
                     "ここにレビューが出ます。"));
  numbers_->setRowCount(0);
  clearConditionResults();
  // Without a design the highest input has no input voltage to stay above.
  markConditions();
}

void ReviewWindow::useCore(int row) {
  const QTableWidgetItem* item = advice_->item(row, 0);
  auto* combo = main_.findChild<QComboBox*>(QStringLiteral("cmbCore"));
  if (item != nullptr && combo != nullptr) {
    combo->setEditText(item->text());
  }
}

ReviewWindow& addDesignReviewAction(MainWindow& window) {
  auto* review = new ReviewWindow(window);
  auto* open = new QAction(QStringLiteral("設計レビュー..."), &window);
  open->setObjectName(QStringLiteral("openDesignReview"));
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  QObject::connect(open, &QAction::triggered, review, [review] {
    review->show();
    review->raise();
    review->activateWindow();
  });
  window.addAction(open);
  return *review;
}

}  // namespace fbc
