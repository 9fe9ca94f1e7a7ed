#include "app/review_window.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/review_texts.h"
#include "review/core_advice.h"
#include "review/review.h"

namespace fbc {

namespace {

const QString kTitle = QStringLiteral("設計レビュー");

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

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

QTableWidget* readOnlyTable(const QStringList& headers, QWidget* parent) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->setVisible(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  // Tab moves on to the next control rather than from cell to cell.
  table->setTabKeyNavigation(false);
  table->setWordWrap(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
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

  numbers_ =
      readOnlyTable({QStringLiteral("項目"), QStringLiteral("値"), QStringLiteral("単位")}, this);
  numbers_->setObjectName(QStringLiteral("reviewNumbers"));
  numbers_->setAccessibleName(QStringLiteral("設計値"));
  numbers_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  numbers_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  numbers_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

  flags_ = new QListWidget(this);
  flags_->setObjectName(QStringLiteral("reviewFlags"));
  flags_->setAccessibleName(QStringLiteral("指摘事項"));
  flags_->setWordWrap(true);
  flags_->setSpacing(3);
  flags_->setSelectionMode(QAbstractItemView::SingleSelection);

  adviceSummary_ = new QLabel(this);
  adviceSummary_->setObjectName(QStringLiteral("adviceSummary"));
  adviceSummary_->setWordWrap(true);

  advice_ =
      readOnlyTable({QStringLiteral("コア"), QStringLiteral("判定"), QStringLiteral("Np/Ns"),
                     QStringLiteral("ギャップ[mm]"), QStringLiteral("占積率[%]"),
                     QStringLiteral("許容[%]"), QStringLiteral("Bpk[T]"), QStringLiteral("指摘")},
                    this);
  advice_->setObjectName(QStringLiteral("coreAdvice"));
  advice_->setAccessibleName(QStringLiteral("コアの提案"));
  advice_->setAccessibleDescription(
      QStringLiteral("行をダブルクリックするかEnterキーでそのコアをコア選択に入れます"));
  advice_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  advice_->horizontalHeader()->setStretchLastSection(true);
  advice_->setToolTip(advice_->accessibleDescription());

  close_ = new QPushButton(QStringLiteral("閉じる"), this);
  close_->setObjectName(QStringLiteral("reviewClose"));
  close_->setAccessibleName(QStringLiteral("閉じる"));

  auto* numbersBox = new QGroupBox(QStringLiteral("設計値"), this);
  auto* numbersLayout = new QVBoxLayout(numbersBox);
  numbersLayout->addWidget(numbers_);

  auto* flagsBox = new QGroupBox(QStringLiteral("指摘事項"), this);
  auto* flagsLayout = new QVBoxLayout(flagsBox);
  flagsLayout->addWidget(flags_);

  auto* adviceBox = new QGroupBox(QStringLiteral("コアの提案 (ダブルクリックでコア選択へ)"), this);
  auto* adviceLayout = new QVBoxLayout(adviceBox);
  adviceLayout->addWidget(adviceSummary_);
  adviceLayout->addWidget(advice_);

  auto* right = new QVBoxLayout;
  right->addWidget(flagsBox, 1);
  right->addWidget(adviceBox, 3);

  auto* columns = new QHBoxLayout;
  columns->addWidget(numbersBox, 2);
  columns->addLayout(right, 4);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);

  setTabOrder(numbers_, flags_);
  setTabOrder(flags_, advice_);
  setTabOrder(advice_, close_);

  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  connect(advice_, &QTableWidget::cellActivated, this, [this](int row, int) { useCore(row); });
  auto* escape = new QAction(this);
  escape->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(escape, &QAction::triggered, this, &QWidget::close);
  addAction(escape);

  connect(&main_, &MainWindow::calculationCompleted, this,
          [this](const DesignInputs& inputs) { showReview(inputs, main_.designState()); });
  connect(&main_, &MainWindow::displayCleared, this, &ReviewWindow::clearReview);

  resize(1040, 720);
  clearReview();
}

void ReviewWindow::showReview(const DesignInputs& inputs, const DesignState& state) {
  const QString core = QString::fromStdU16String(state.CoreSel);
  setWindowTitle(core.isEmpty() ? kTitle : kTitle + QStringLiteral(" — ") + core);

  const std::optional<double> swing = levelSwing(inputs.level);
  const DesignReview review = swing ? reviewDesign(state, *swing) : DesignReview{};
  QString summary = core + QStringLiteral(" / コア温度 ") + levelText(inputs.level);
  if (swing) {
    summary += QStringLiteral(" (ΔB %1 T)").arg(*swing, 0, 'g', 3);
  }
  summary += QStringLiteral("：") + (swing ? QString::fromStdU16String(reviewVerdict(review))
                                           : QStringLiteral("コア温度レベルが選ばれていません。"));
  if (!catalogue_.find(state.CoreSel)) {
    summary += QStringLiteral(" (カタログにない名前のため、前回のコアの数値で計算しています)");
  }
  summary_->setText(summary);
  showNumbersAndFlags(review);
  advice_->setRowCount(0);
  if (!swing) {
    adviceSummary_->setText(QString());
    return;
  }
  showAdvice(adviseCores(inputs, catalogue_, *swing));
}

void ReviewWindow::showNumbersAndFlags(const DesignReview& review) {
  const std::vector<ReviewRow> rows = reviewRows(review);
  numbers_->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const ReviewRow& row = rows[static_cast<std::size_t>(i)];
    QTableWidgetItem* label = cell(row.label);
    label->setToolTip(row.name);
    numbers_->setItem(i, 0, label);
    numbers_->setItem(i, 1, cell(row.value, Qt::AlignRight));
    numbers_->setItem(i, 2, cell(row.unit));
  }

  flags_->clear();
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

void ReviewWindow::showAdvice(const CoreAdvice& advice) {
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
    QTableWidgetItem* name = cell(QString::fromStdU16String(c.core));
    if (recommended) {
      QFont font = name->font();
      font.setBold(true);
      name->setFont(font);
    }
    advice_->setItem(i, 0, name);
    advice_->setItem(i, 1, cell(verdict, Qt::AlignHCenter));
    advice_->setItem(
        i, 2,
        cell(r.valid ? QStringLiteral("%1/%2").arg(r.Np).arg(r.Ns) : QStringLiteral("—"),
             Qt::AlignRight));
    advice_->setItem(i, 3, cell(numberOr(r.gap * 1e3, 2), Qt::AlignRight));
    advice_->setItem(i, 4, cell(numberOr(r.fill, 1), Qt::AlignRight));
    advice_->setItem(i, 5, cell(numberOr(r.fillAllowed, 0), Qt::AlignRight));
    advice_->setItem(i, 6, cell(numberOr(r.Bpk, 3), Qt::AlignRight));
    QStringList notes;
    for (ReviewFlag flag : r.flags) {
      notes << QString::fromStdU16String(reviewFlagShortName(flag));
    }
    QTableWidgetItem* noteCell = cell(notes.join(QStringLiteral("、")));
    noteCell->setToolTip(noteCell->text());
    advice_->setItem(i, 7, noteCell);
  }
}

void ReviewWindow::clearReview() {
  setWindowTitle(kTitle);
  summary_->setText(
      QStringLiteral("まだ計算結果がありません。シミュレーション開始ボタンで計算すると"
                     "ここにレビューが出ます。"));
  numbers_->setRowCount(0);
  flags_->clear();
  adviceSummary_->setText(QString());
  advice_->setRowCount(0);
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
