#include "app/simulation_panel.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QTimer>
#include <QVBoxLayout>

#include "app/picture_box.h"
#include "app/simulation_chart.h"
#include "export/winding_texts.h"
#include "review/spice_netlist.h"

namespace fbc {

namespace {

constexpr QSize kPlotSize(440, 190);
constexpr int kTimeoutMilliseconds = 20000;

// What each measurement is, in the window's words.
QString figureCaption(const std::string& name) {
  if (name == "ippk") return QStringLiteral("一次ピーク電流 [A]");
  if (name == "iprms") return QStringLiteral("一次実効電流 [A]");
  if (name == "ispk") return QStringLiteral("二次巻線ピーク電流 [A]");
  if (name == "isrms") return QStringLiteral("二次巻線実効電流 [A]");
  if (name == "vdspk") return QStringLiteral("スイッチ最大電圧 [V]");
  if (name == "voutavg") return QStringLiteral("出力電圧(平均) [V]");
  if (name == "voutpp") return QStringLiteral("出力リプル(p-p) [V]");
  return QString::fromStdString(name);
}

// A further output's or the bias's figure is named after its winding, as the review's tables name
// it: its average voltage, or its winding's RMS current.
QString figureCaption(const SimulatedFigure& figure) {
  if (!figure.winding) {
    return figureCaption(figure.name);
  }
  const QString winding = windingNameJa(*figure.winding);
  return figure.name == outputVoltageMeasurement(*figure.winding)
             ? winding + QStringLiteral("の出力電圧(平均) [V]")
             : winding + QStringLiteral("巻線実効電流 [A]");
}

// The condition a measured leakage goes into, as the review window captions it.
QString leakageCaption() {
  const std::u16string_view caption = reviewInputInfo(ReviewInput::Leakage).caption;
  return QString::fromUtf16(caption.data(), static_cast<qsizetype>(caption.size()));
}

QTableWidgetItem* number(double value, int decimals = 3) {
  auto* item = new QTableWidgetItem(QString::number(value, 'f', decimals));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

SimulationPanel::SimulationPanel(QWidget* parent) : QWidget(parent) {
  start_ = new QPushButton(QStringLiteral("シミュレーション開始"), this);
  start_->setObjectName(QStringLiteral("simulationStart"));
  start_->setAccessibleName(start_->text());
  cancel_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_->setObjectName(QStringLiteral("simulationCancel"));
  cancel_->setAccessibleName(QStringLiteral("シミュレーションを中止"));
  busy_ = new QProgressBar(this);
  busy_->setObjectName(QStringLiteral("simulationBusy"));
  busy_->setRange(0, 0);  // busy without a measure of progress
  busy_->setMaximumWidth(160);
  busy_->setAccessibleName(QStringLiteral("シミュレーション中"));
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("simulationStatus"));
  status_->setWordWrap(true);

  switchPlot_ = new PictureBox(kPlotSize, this);
  switchPlot_->setObjectName(QStringLiteral("simulatedSwitchPlot"));
  switchPlot_->setAccessibleName(QStringLiteral("シミュレーションのスイッチ電圧と電流"));
  diodePlot_ = new PictureBox(kPlotSize, this);
  diodePlot_->setObjectName(QStringLiteral("simulatedDiodePlot"));
  diodePlot_->setAccessibleName(QStringLiteral("シミュレーションのダイオード電流"));
  switchPlot_->setFocusPolicy(Qt::StrongFocus);
  diodePlot_->setFocusPolicy(Qt::StrongFocus);

  figures_ = new QTableWidget(0, 4, this);
  figures_->setObjectName(QStringLiteral("simulationFigures"));
  figures_->setAccessibleName(QStringLiteral("モデルとシミュレーションの比較"));
  figures_->setHorizontalHeaderLabels({QStringLiteral("項目"), QStringLiteral("モデル"),
                                       QStringLiteral("シミュレーション"),
                                       QStringLiteral("差[%]")});
  figures_->verticalHeader()->setVisible(false);
  figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  figures_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

  auto* controls = new QHBoxLayout;
  controls->addWidget(start_);
  controls->addWidget(cancel_);
  controls->addWidget(busy_);
  controls->addWidget(status_, 1);
  auto* plots = new QVBoxLayout;
  plots->addWidget(switchPlot_);
  plots->addWidget(diodePlot_);
  auto* columns = new QHBoxLayout;
  columns->addLayout(plots);
  columns->addWidget(figures_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(columns, 1);

  process_ = new QProcess(this);
  process_->setProcessChannelMode(QProcess::MergedChannels);
  timeout_ = new QTimer(this);
  timeout_->setSingleShot(true);
  connect(start_, &QPushButton::clicked, this, &SimulationPanel::start);
  connect(cancel_, &QPushButton::clicked, this,
          [this] { cancel(QStringLiteral("シミュレーションを中止しました。")); });
  connect(process_, &QProcess::finished, this, &SimulationPanel::finished);
  connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      failedToStart();
    }
  });
  connect(timeout_, &QTimer::timeout, this, [this] {
    cancel(QStringLiteral("シミュレーションが%1秒以内に終わらなかったため中止しました。")
               .arg(kTimeoutMilliseconds / 1000));
  });
  clearDesign();
}

SimulationPanel::~SimulationPanel() {
  process_->disconnect(this);
  if (process_->state() != QProcess::NotRunning) {
    process_->kill();
    process_->waitForFinished(1000);
  }
}

bool SimulationPanel::running() const { return process_->state() != QProcess::NotRunning; }

std::vector<QWidget*> SimulationPanel::focusChain() const {
  return {start_, cancel_, switchPlot_, diodePlot_, figures_};
}

void SimulationPanel::setDesign(const DesignState& state, const DesignReview& review,
                                const ReviewConditions& conditions) {
  if (running()) {
    cancel(QString());
  }
  // The clamp and the coupling would come from a leakage of windings that cannot be wound.
  if (review.stress.valid && !review.stress.leakageKnown) {
    clearDesign();
    showIdle(leakageNotEstimatedJa() +
             QStringLiteral("実測値を「%1」に入力してください。").arg(leakageCaption()));
    start_->setEnabled(false);
    return;
  }
  if (!spiceCircuit(state, review, conditions)) {
    clearDesign();
    showIdle(
        QStringLiteral("この設計はシミュレーションできません(スイッチとクランプが計算できる"
                       "設計が必要です)。"));
    start_->setEnabled(false);
    return;
  }
  design_ = Design{state, review, conditions};
  clearResults();
  showIdle(QStringLiteral("ngspiceでこの設計を回路シミュレーションします。"));
  start_->setEnabled(true);
}

void SimulationPanel::clearDesign() {
  if (running()) {
    cancel(QString());
  }
  design_.reset();
  clearResults();
  showIdle(QStringLiteral("計算結果がありません。"));
  start_->setEnabled(false);
}

void SimulationPanel::start() {
  if (!design_ || running()) {
    return;
  }
  const std::optional<SpiceCircuit> circuit =
      spiceCircuit(design_->state, design_->review, design_->conditions);
  netlist_ = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                              QStringLiteral("/flyback-designer-XXXXXX.cir"));
  if (!circuit || !netlist_->open()) {
    showIdle(QStringLiteral("ネットリストを書けませんでした。"));
    return;
  }
  const std::string text = spiceNetlist(*circuit, "flyback-designer", true);
  netlist_->write(text.data(), static_cast<qint64>(text.size()));
  netlist_->close();
  clearResults();
  start_->setEnabled(false);
  cancel_->setEnabled(true);
  busy_->setVisible(true);
  status_->setText(QStringLiteral("シミュレーション中…"));
  timeout_->start(kTimeoutMilliseconds);
  process_->start(QStringLiteral("ngspice"), {QStringLiteral("-b"), netlist_->fileName()});
}

void SimulationPanel::cancel(const QString& why) {
  timeout_->stop();
  process_->blockSignals(true);
  if (process_->state() != QProcess::NotRunning) {
    process_->kill();
    process_->waitForFinished(1000);
  }
  process_->blockSignals(false);
  netlist_.reset();
  showIdle(why);
  start_->setEnabled(design_.has_value());
  emit simulationFinished();
}

void SimulationPanel::failedToStart() {
  timeout_->stop();
  netlist_.reset();
  showIdle(
      QStringLiteral("ngspiceが見つかりません。Debianでは apt-get install ngspice で入ります。"));
  start_->setEnabled(design_.has_value());
  emit simulationFinished();
}

void SimulationPanel::finished() {
  timeout_->stop();
  const std::string output = process_->readAll().toStdString();
  netlist_.reset();
  start_->setEnabled(design_.has_value());
  const bool failed = process_->exitStatus() != QProcess::NormalExit || process_->exitCode() != 0 ||
                      output.find("Error") != std::string::npos;
  const std::optional<std::vector<SimulatedFigure>> figures =
      failed || !design_ ? std::nullopt
                         : spiceFigures(design_->review, design_->state, spiceMeasurements(output));
  if (!figures) {
    showIdle(
        QStringLiteral("シミュレーションが収束しませんでした。ngspiceの出力を確かめてください。"));
    emit simulationFinished();
    return;
  }
  figures_->setRowCount(static_cast<int>(figures->size()));
  for (int i = 0; i < static_cast<int>(figures->size()); ++i) {
    const SimulatedFigure& f = (*figures)[static_cast<std::size_t>(i)];
    auto* name = new QTableWidgetItem(figureCaption(f));
    name->setToolTip(QString::fromStdString(f.name));
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    figures_->setItem(i, 0, name);
    figures_->setItem(i, 1, number(f.model));
    figures_->setItem(i, 2, number(f.simulated));
    figures_->setItem(i, 3, number(f.differencePercent, 1));
  }
  const SwitchStress& st = design_->review.stress;
  const ModelPeaks peaks{
      static_cast<double>(design_->state.Vin) + (st.clampNeeded() ? st.Vclamp : st.VRO),
      design_->review.Ipk, design_->review.IsPkWinding};
  drawSimulationPlots(switchPlot_->surface(), diodePlot_->surface(), spiceWaveform(output), peaks);
  switchPlot_->update();
  diodePlot_->update();
  showIdle(QStringLiteral("シミュレーションが終わりました。点線はモデルのピークです。"));
  emit simulationFinished();
}

void SimulationPanel::showIdle(const QString& status) {
  busy_->setVisible(false);
  cancel_->setEnabled(false);
  status_->setText(status);
}

void SimulationPanel::clearResults() {
  figures_->setRowCount(0);
  for (PictureBox* plot : {switchPlot_, diodePlot_}) {
    plot->surface().cls();
    plot->update();
  }
}

}  // namespace fbc
