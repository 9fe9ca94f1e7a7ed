#include "app/main_window.h"

#include <exception>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include "app/accessibility.h"
#include "app/control_objects.h"
#include "app/design_sheet_actions.h"
#include "app/input_messages.h"
#include "app/picture_box.h"
#include "app/review_window.h"
#include "app/schematic_view.h"
#include "app/window_capture.h"
#include "design/click_constants.h"
#include "design/design_inputs.h"
#include "design/result_texts.h"
#include "platform/errors.h"
#include "waveform/plot_geometry.h"
#include "waveform/waveform_stage.h"

// Resources compiled into a static library are registered by hand (outside any namespace).
static void initialiseResources() { Q_INIT_RESOURCE(schematic); }

namespace fbc {

namespace {

enum class ControlKind {
  Label,
  TextBox,
  CommandButton,
  OptionButton,
  CheckBox,
  ComboBox,
  PictureBox,
  Image,
};

// One control as the window lays it out: caption or text at opening, place and size in twips.
struct ControlLayout {
  const char* name;
  ControlKind kind;
  const char* text;
  Placement place;
};

// In creation order. Captions that the start-up sequence sets are empty here, and so are the
// input boxes' texts: they open with the design's start values.
constexpr ControlLayout kRoster[] = {
    {"Command1", ControlKind::CommandButton, "波形クリア", {1200, 6360, 1095, 375}},
    {"optcore_Lo", ControlKind::OptionButton, "低温(低め)", {7200, 3960, 1455, 255}},
    {"optcore_Hi", ControlKind::OptionButton, "高温(高め)", {7200, 3240, 1455, 255}},
    {"optcore_Typ", ControlKind::OptionButton, "普通", {7200, 3600, 975, 255}},
    {"txtDuty", ControlKind::TextBox, "", {2520, 3600, 975, 270}},
    {"txtVf", ControlKind::TextBox, "", {5160, 720, 975, 270}},
    {"Check1", ControlKind::CheckBox, "工事中：50%負荷時波形", {6120, 6360, 2535, 255}},
    {"Command2", ControlKind::CommandButton, "トランス購入仕様書作成", {9720, 6360, 2655, 375}},
    {"Text6", ControlKind::TextBox, "図番入力(半角)", {9720, 6000, 2655, 270}},
    {"Picture4", ControlKind::PictureBox, "", {9240, 2040, 3375, 2295}},
    {"optSSWPFM",
     ControlKind::OptionButton,
     "SPFM(擬似共振臨海モード：希望Fs指定,Lp可変)",
     {9120, 1200, 4695, 255}},
    {"optPWM_Furenzoku",
     ControlKind::OptionButton,
     "PWM(電流不連続モード：Fs指定,Duty指定,Lp可変：これはなしでよい)",
     {9120, 1560, 6255, 255}},
    {"optPWM_Renzoku",
     ControlKind::OptionButton,
     "PWM(電流連続モード：Fs指定,リプル指定,Lp可変)",
     {9120, 720, 4815, 255}},
    {"optPFM_Rinkai",
     ControlKind::OptionButton,
     "PFM(臨海モード：希望Fs指定,Lp可変)",
     {9120, 960, 3495, 255}},
    {"optPWM_Rinkai",
     ControlKind::OptionButton,
     "PWM(電流臨海モード：Fs指定,Lp可変)",
     {9120, 480, 4695, 255}},
    {"cmdcal", ControlKind::CommandButton, "シミュレーション開始", {2760, 6360, 3255, 375}},
    {"cmbCore", ControlKind::ComboBox, "EER28", {4080, 2400, 1575, 300}},
    {"Pic2", ControlKind::PictureBox, "", kPic2Placement},
    {"Pic1", ControlKind::PictureBox, "", kPic1Placement},
    {"txtEffi", ControlKind::TextBox, "", {5400, 3720, 975, 270}},
    {"txtIout", ControlKind::TextBox, "", {7080, 2040, 975, 270}},
    {"txtVout", ControlKind::TextBox, "", {7080, 1320, 975, 270}},
    {"txtFs", ControlKind::TextBox, "", {2520, 3000, 975, 270}},
    {"txtVin", ControlKind::TextBox, "", {600, 1200, 975, 270}},
    {"lblpic1_1", ControlKind::Label, "", kLblpic1_1Placement},
    {"lblmanyu", ControlKind::Label, "", {0, 2280, 1695, 2055}},
    {"lblinfo", ControlKind::Label, "", {120, 7200, 8895, 375}},
    {"lbldai", ControlKind::Label, "", {0, 120, 8895, 495}},
    {"Label21", ControlKind::Label, kClosingNotice, {0, 8160, 9135, 375}},
    {"lblCuondo", ControlKind::Label, "", {120, 6840, 8775, 255}},
    {"Label20", ControlKind::Label, "コア温度上昇(磁束使用率)", {7200, 2760, 1335, 495}},
    {"Label16", ControlKind::Label, "コア選択", {4200, 2160, 1215, 255}},
    {"lblNt", ControlKind::Label, "Nt[比]", {3240, 1440, 975, 255}},
    {"lbltest", ControlKind::Label, "", {240, 7680, 8775, 375}},
    {"Label18", ControlKind::Label, "Im[A/mm2]", {9120, 7320, 975, 255}},
    {"Label17", ControlKind::Label, "Gap[mm]", {9120, 6960, 975, 255}},
    {"lblLp", ControlKind::Label, "Lp[uH]", {2760, 1800, 975, 255}},
    {"Label15", ControlKind::Label, "Vf[V]", {4680, 840, 495, 255}},
    {"Label14", ControlKind::Label, "入力電流[A]", {360, 1560, 1215, 255}},
    {"Label13", ControlKind::Label, "直流入力電圧[V]", {360, 840, 1455, 255}},
    {"Label12", ControlKind::Label, "出力電流[A]", {7080, 1800, 1095, 255}},
    {"Label10", ControlKind::Label, "出力電圧[V]", {7080, 1080, 1095, 255}},
    {"Label5", ControlKind::Label, "予測効率", {5400, 3480, 975, 255}},
    {"lblIin", ControlKind::Label, "", {480, 1920, 1095, 255}},
    {"Label4", ControlKind::Label, "Duty=", {2520, 3360, 975, 375}},
    {"Image1", ControlKind::Image, "", {1680, 1080, 5370, 3255}},
    {"Label9", ControlKind::Label, "駆動方式設定", {9960, 120, 1455, 255}},
    {"Label8", ControlKind::Label, "トランス外形図", {10320, 4440, 1455, 255}},
    {"Label7",
     ControlKind::Label,
     "工事中：Ipeak=  A以上で磁気飽和を起します。",
     {3240, 6000, 3855, 255}},
    {"Label6",
     ControlKind::Label,
     "コンセプト：巻数比開示、　巻数線形とGAP非公開",
     {9240, 5280, 4095, 255}},
    {"lbldiv2", ControlKind::Label, "出力ダイオード電圧電流[100V/div,10A/div]", kLbldiv2Placement},
    {"lbldiv1", ControlKind::Label, "スイッチ電圧電流[100V/div,10A/div]", kLbldiv1Placement},
};

constexpr int kClientWidthTwips = 9105;
constexpr int kClientHeightTwips = 8550;
// Labels this tall or taller hold two lines of the 9-point font.
constexpr int kTwoLineLabelTwips = 375;

constexpr const char* kTabOrder[] = {
    "cmdcal",           "txtVin",        "txtFs",         "txtVout",
    "txtIout",          "txtEffi",       "Pic1",          "Pic2",
    "cmbCore",          "optPWM_Rinkai", "optPFM_Rinkai", "optPWM_Renzoku",
    "optPWM_Furenzoku", "optSSWPFM",     "Picture4",      "Text6",
    "Command2",         "Check1",        "txtVf",         "txtDuty",
    "optcore_Typ",      "optcore_Hi",    "optcore_Lo",    "Command1",
};

constexpr const char* kProportionalFontControls[] = {
    "txtDuty",        "txtVf",
    "Text6",          "txtEffi",
    "txtIout",        "txtVout",
    "txtFs",          "txtVin",
    "Pic1",           "Pic2",
    "Picture4",       "Command2",
    "optSSWPFM",      "optPWM_Furenzoku",
    "optPWM_Renzoku", "optPFM_Rinkai",
    "optPWM_Rinkai",  "Label6",
    "Label8",         "Label9",
};

constexpr const char* kWhiteLabels[] = {"Label4", "Label5", "Label16", "lblNt", "lblLp"};

constexpr const char* kCentredLabels[] = {"lbldai",  "Label21", "lblCuondo",
                                          "lblinfo", "lbltest", "lblIin"};

QFont windowsFont(const char* family, qreal points) {
  QFont font(QString::fromUtf8(family));
  font.setPointSizeF(points);
  return font;
}

const char* const kGothic = "ＭＳ ゴシック";
const char* const kProportionalGothic = "ＭＳ Ｐゴシック";

QString fromText(const std::u16string& text) { return QString::fromStdU16String(text); }

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
  initialiseResources();
  setWindowTitle(QStringLiteral("タルミナ電機株式会社 フライバックコンバータ用トランス設計ツール"));
  setFont(windowsFont(kGothic, 9.0));
  setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
  createControls();
  applyFontsAndColours();
  setUpTabOrder();
  connectHandlers();
  addWindowCaptureActions(*this, [this] { return cmbCore_->currentText(); });
  addDesignReviewAction(*this);
  setUpAccessibility(*this);
  addDesignSheetActions(*this);
  load();
  cmdcal_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
  optionGroup_ = new QButtonGroup(this);
  optionGroup_->setExclusive(true);
  for (const ControlLayout& entry : kRoster) {
    const QString name = QString::fromLatin1(entry.name);
    const InputInfo* input = inputInfoByBox(entry.name);
    const QString text = entry.kind == ControlKind::TextBox && input != nullptr
                             ? fromText(std::u16string(input->startText))
                             : QString::fromUtf8(entry.text);
    const QSize size(pixels(entry.place.width), pixels(entry.place.height));
    QWidget* widget = nullptr;
    std::unique_ptr<Object> adapter;
    switch (entry.kind) {
      case ControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Labels of one line clip their text; taller ones wrap it.
        label->setWordWrap(entry.place.height >= kTwoLineLabelTwips);
        // Labels are opaque: they hide what lies beneath them, the schematic included.
        label->setAutoFillBackground(true);
        adapter = std::make_unique<LabelObject>(*label);
        widget = label;
        break;
      }
      case ControlKind::TextBox: {
        auto* box = new QLineEdit(text, this);
        adapter = std::make_unique<TextBoxObject>(*box);
        widget = box;
        break;
      }
      case ControlKind::CommandButton: {
        auto* button = new QPushButton(text, this);
        adapter = std::make_unique<ButtonObject>(*button);
        widget = button;
        break;
      }
      case ControlKind::OptionButton: {
        auto* button = new QRadioButton(text, this);
        optionGroup_->addButton(button);
        adapter = std::make_unique<ButtonObject>(*button);
        widget = button;
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(text, this);
        adapter = std::make_unique<ButtonObject>(*box);
        widget = box;
        break;
      }
      case ControlKind::ComboBox: {
        auto* box = new QComboBox(this);
        box->setEditable(true);
        // Typed text is used as it is and never becomes an entry of the list.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setEditText(text);
        adapter = std::make_unique<ComboBoxObject>(*box);
        widget = box;
        break;
      }
      case ControlKind::PictureBox: {
        auto* picture = new PictureBox(size, this);
        objectByName_.insert(name, &picture->surface());
        widget = picture;
        break;
      }
      case ControlKind::Image:
        widget = new SchematicView(QStringLiteral(":/schematic.svg"), this);
        break;
    }
    widget->setObjectName(name);
    widget->setGeometry(pixels(entry.place.left), pixels(entry.place.top), size.width(),
                        size.height());
    controls_.insert(name, widget);
    if (adapter) {
      objectByName_.insert(name, adapter.get());
      objects_.push_back(std::move(adapter));
    }
  }

  // The schematic lies beneath everything; labels lie beneath the other controls (so Pic1
  // covers lblpic1_1).
  controls_.value(QStringLiteral("Image1"))->lower();
  for (const ControlLayout& entry : kRoster) {
    if (entry.kind != ControlKind::Label && entry.kind != ControlKind::Image) {
      controls_.value(QString::fromLatin1(entry.name))->raise();
    }
  }

  auto find = [this]<typename T>(const char* name, T*& into) {
    into = qobject_cast<T*>(controls_.value(QString::fromLatin1(name)));
  };
  find("cmdcal", cmdcal_);
  find("Command1", Command1_);
  find("txtVin", txtVin_);
  find("txtVout", txtVout_);
  find("txtIout", txtIout_);
  find("txtFs", txtFs_);
  find("txtVf", txtVf_);
  find("txtEffi", txtEffi_);
  find("txtDuty", txtDuty_);
  find("cmbCore", cmbCore_);
  find("optcore_Hi", optcore_Hi_);
  find("optcore_Typ", optcore_Typ_);
  find("optcore_Lo", optcore_Lo_);
  find("lblIin", lblIin_);
  find("Pic1", Pic1_);
  find("Pic2", Pic2_);
  findLabels();
  optcore_Typ_->setChecked(true);
}

void MainWindow::applyFontsAndColours() {
  for (const char* name : kProportionalFontControls) {
    controls_.value(QString::fromLatin1(name))->setFont(windowsFont(kProportionalGothic, 9.0));
  }
  controls_.value(QStringLiteral("lblmanyu"))->setFont(windowsFont(kGothic, 8.25));
  QFont title = windowsFont(kGothic, 15.75);
  title.setBold(true);
  title.setItalic(true);
  controls_.value(QStringLiteral("lbldai"))->setFont(title);

  for (const char* name : kWhiteLabels) {
    QWidget* label = controls_.value(QString::fromLatin1(name));
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    label->setPalette(palette);
  }
  for (const char* name : kCentredLabels) {
    qobject_cast<QLabel*>(controls_.value(QString::fromLatin1(name)))
        ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  }

  labels_.lblmanyu->setForeColor(kBlueColour);
  labels_.lblinfo->setForeColor(kBlueColour);
  labels_.Label7->setForeColor(kGrayTextColour);
  // The check box looks disabled but still toggles.
  QWidget* check = controls_.value(QStringLiteral("Check1"));
  QPalette palette = check->palette();
  const QColor grey = palette.color(QPalette::Disabled, QPalette::WindowText);
  palette.setColor(QPalette::WindowText, grey);
  palette.setColor(QPalette::ButtonText, grey);
  check->setPalette(palette);
}

void MainWindow::setUpTabOrder() {
  for (std::size_t i = 1; i < std::size(kTabOrder); ++i) {
    QWidget::setTabOrder(controls_.value(QString::fromLatin1(kTabOrder[i - 1])),
                         controls_.value(QString::fromLatin1(kTabOrder[i])));
  }
}

void MainWindow::connectHandlers() {
  connect(txtVin_, &QLineEdit::textChanged, this,
          [this] { limitedBoxChanged(txtVin_, LimitedBox::Vin, DesignInput::Vin); });
  connect(txtVout_, &QLineEdit::textChanged, this,
          [this] { limitedBoxChanged(txtVout_, LimitedBox::Vout, DesignInput::Vout); });
  connect(txtIout_, &QLineEdit::textChanged, this,
          [this] { limitedBoxChanged(txtIout_, LimitedBox::Iout, DesignInput::Iout); });
  connect(txtFs_, &QLineEdit::textChanged, this,
          [this] { limitedBoxChanged(txtFs_, LimitedBox::Fs, DesignInput::Fs); });
  connect(txtVf_, &QLineEdit::textChanged, this,
          [this] { limitedBoxChanged(txtVf_, LimitedBox::Vf, DesignInput::Vf); });
  connect(txtEffi_, &QLineEdit::textChanged, this, &MainWindow::txtEffiChanged);
  // The duty and core boxes have no rule of their own; a change only re-judges a mark.
  connect(txtDuty_, &QLineEdit::textChanged, this, [this] { refreshMark(DesignInput::Duty); });
  connect(cmbCore_, &QComboBox::editTextChanged, this, [this] { refreshMark(DesignInput::Core); });
  connect(cmdcal_, &QPushButton::clicked, this, &MainWindow::cmdcalClick);
  connect(Command1_, &QPushButton::clicked, this, &MainWindow::command1Click);
}

void MainWindow::load() {
  Start();
  labels_.lblmanyu->setProperty(
      "Caption", Value(u"使用方法：まず、コンバータのスペックを入力する。コアの温度レベルを選択す"
                       u"る。シミュレーション開始ボタンをクリックする｡すると､銅線の温度状態をシミ"
                       u"ュレーションできます｡ (電流は臨海モードにて演算しています。)"));
  labels_.lbldai->setProperty("Caption", Value(u"タルミナ電機のトランス設計ソフトver2.4"));
  catalogue_.emplace();
  fillCoreList();
}

void MainWindow::fillCoreList() {
  cmbCore_->clear();
  cmbCore_->setEditText(fromText(catalogue_->name(1)));
  for (const std::u16string& name : catalogue_->listNames()) {
    cmbCore_->addItem(fromText(name));
  }
}

void MainWindow::Start() {
  try {
    const std::u16string current = estimatedInputCurrentText(
        txtVout_->text().toStdU16String(), txtIout_->text().toStdU16String(),
        txtEffi_->text().toStdU16String(), txtVin_->text().toStdU16String());
    lblIin_->setText(fromText(current));
    refreshMark(DesignInput::Effi);
  } catch (const RuntimeError&) {
    // The efficiency comes last: a box that is not a number is the first thing to fix.
    for (DesignInput input :
         {DesignInput::Vout, DesignInput::Iout, DesignInput::Vin, DesignInput::Effi}) {
      const QString why = inputProblem(input, boxText(input));
      if (!why.isEmpty()) {
        mark(boxFor(input), why);
        return;
      }
    }
    mark(txtEffi_, unusableValue(DesignInput::Effi));
  }
}

void MainWindow::setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }

Object* MainWindow::controlObject(const QString& name) const { return objectByName_.value(name); }

QColor MainWindow::faultColour() { return unusableInputColour(); }

bool MainWindow::isMarked(const QWidget* box) const { return marked_.contains(box); }

void MainWindow::limitedBoxChanged(QLineEdit* box, LimitedBox rule, DesignInput input) {
  std::optional<std::u16string> replacement;
  try {
    replacement = limitReplacement(rule, box->text().toStdU16String());
  } catch (const RuntimeError&) {
    // Typically a box emptied while retyping: say so on the box, keep the text.
    const QString why = inputProblem(input, box->text());
    mark(box, why.isEmpty() ? unusableValue(input) : why);
    return;
  }
  if (replacement) {
    // Raises this handler again at once; the nested run finds the value inside the limits.
    box->setText(fromText(*replacement));
    return;
  }
  refreshMark(input);
}

void MainWindow::txtEffiChanged() { Start(); }

void MainWindow::cmdcalClick() {
  try {
    calculate();
  } catch (const RuntimeError& error) {
    report(MessageKind::Stop, runtimeErrorMessage(error));
  } catch (const std::exception&) {
    report(MessageKind::Stop, unexpectedErrorMessage());
  }
  // Whatever was drawn before a stop stays and is shown.
  Pic1_->update();
  Pic2_->update();
}

void MainWindow::calculate() {
  const ClickConstants constants = clickConstants();
  const DesignInputs inputs = readInputs();
  const CalculationResult result = calculateDesign(inputs, *catalogue_, state_);
  // The lookup is step 5: a run past it that found the typed core changed the core figures.
  if ((result.completed || result.failedStep > 5) && !result.usedPreviousCore) {
    lookedUpCore_ = fromText(inputs.core);
  }
  if (!result.completed) {
    mark(boxFor(result.cause), stopReasonText(result, inputs));
    report(MessageKind::Stop, stopMessage(result, inputs));
    return;
  }
  for (const InputInfo& info : kInputTable) {
    unmark(boxFor(info.input));
  }

  showResults(constants.k);
  cmbCore_->setToolTip(result.usedPreviousCore ? previousCoreToolTip(lookedUpCore_) : QString());
  emit calculationCompleted(inputs);

  Value pic1 = Pic1_->value();
  Value pic2 = Pic2_->value();
  runWaveformStage(state_, constants.m, pic1, pic2, *labels_.lblpic1_1, *labels_.lbldiv1,
                   *labels_.lbldiv2);
  describePlots(*this, state_, constants.m);

  if (result.usedPreviousCore) {
    report(MessageKind::Notice, previousCoreNotice(fromText(inputs.core), lookedUpCore_));
  }
}

void MainWindow::showResults(const Value& k) {
  const ResultTexts texts = resultTexts(state_, k);
  labels_.lblCuondo->setProperty("Caption", Value(texts.lblCuondo));
  labels_.lblinfo->setProperty("Caption", Value(texts.lblinfo));
  labels_.lbltest->setProperty("Caption", Value(texts.lbltest));
  labels_.lblIin->setProperty("Caption", Value(texts.lblIin));
  labels_.lblNt->setForeColor(kRedColour);
  labels_.lblLp->setForeColor(kRedColour);
  labels_.lblCuondo->setForeColor(kRedColour);
  labels_.lblNt->setProperty("Caption", Value(texts.lblNt));
  labels_.lblLp->setProperty("Caption", Value(texts.lblLp));
}

void MainWindow::command1Click() {
  try {
    Value pic1 = Pic1_->value();
    Value pic2 = Pic2_->value();
    clearDisplay(pic1, pic2, *labels_.lbldiv1, *labels_.lbldiv2, *labels_.lblCuondo,
                 *labels_.lblinfo, *labels_.lbltest);
    clearPlotDescriptions(*this);
  } catch (const RuntimeError& error) {
    report(MessageKind::Stop, runtimeErrorMessage(error));
  } catch (const std::exception&) {
    report(MessageKind::Stop, unexpectedErrorMessage());
  }
  Pic1_->update();
  Pic2_->update();
  emit displayCleared();
}

DesignInputs MainWindow::readInputs() const {
  DesignInputs inputs;
  for (const InputInfo& info : kInputTable) {
    *inputText(inputs, info.input) = boxText(info.input).toStdU16String();
  }
  if (optcore_Hi_->isChecked()) {
    inputs.level = CoreLevel::Hi;
  } else if (optcore_Typ_->isChecked()) {
    inputs.level = CoreLevel::Typ;
  } else if (optcore_Lo_->isChecked()) {
    inputs.level = CoreLevel::Lo;
  } else {
    inputs.level = CoreLevel::None;
  }
  return inputs;
}

bool MainWindow::namesUsableCore(const QString& text) const {
  return catalogue_ && !text.isEmpty() && text != QStringLiteral("END") &&
         catalogue_->find(text.toStdU16String()).has_value();
}

void MainWindow::report(MessageKind kind, const QString& text) {
  if (messageHandler_) {
    messageHandler_(kind, text);
  } else if (kind == MessageKind::Stop) {
    QMessageBox::warning(this, windowTitle(), text);
  } else {
    QMessageBox::information(this, windowTitle(), text);
  }
}

void MainWindow::mark(QWidget* box, const QString& why) {
  if (box == nullptr) {
    return;
  }
  markUnusableBox(*box, why);
  marked_.insert(box);
}

void MainWindow::unmark(QWidget* box) {
  if (box == nullptr || !marked_.remove(box)) {
    return;
  }
  clearUnusableMark(*box);
}

void MainWindow::refreshMark(DesignInput input) {
  QWidget* box = boxFor(input);
  if (box == nullptr || !marked_.contains(box)) {
    return;
  }
  const QString text = boxText(input);
  const bool usable =
      input == DesignInput::Core ? namesUsableCore(text) : inputProblem(input, text).isEmpty();
  if (usable) {
    unmark(box);
  }
}

QWidget* MainWindow::boxFor(DesignInput input) const {
  const InputInfo* info = inputInfo(input);
  return info != nullptr ? controls_.value(QString::fromLatin1(info->box)) : nullptr;
}

QString MainWindow::boxText(DesignInput input) const {
  if (input == DesignInput::Core) {
    return cmbCore_->currentText();
  }
  const auto* box = qobject_cast<const QLineEdit*>(boxFor(input));
  return box != nullptr ? box->text() : QString();
}

void MainWindow::findLabels() {
  constexpr std::pair<const char*, LabelObject * LabelObjects::*> kLabels[] = {
      {"lblmanyu", &LabelObjects::lblmanyu},   {"lblinfo", &LabelObjects::lblinfo},
      {"Label7", &LabelObjects::Label7},       {"lbldai", &LabelObjects::lbldai},
      {"lblCuondo", &LabelObjects::lblCuondo}, {"lbltest", &LabelObjects::lbltest},
      {"lblIin", &LabelObjects::lblIin},       {"lblNt", &LabelObjects::lblNt},
      {"lblLp", &LabelObjects::lblLp},         {"lblpic1_1", &LabelObjects::lblpic1_1},
      {"lbldiv1", &LabelObjects::lbldiv1},     {"lbldiv2", &LabelObjects::lbldiv2},
  };
  for (const auto& [name, member] : kLabels) {
    // A label missing from the layout is a fault of this file: stop at start-up, not on a
    // later click.
    auto* label = dynamic_cast<LabelObject*>(objectByName_.value(QString::fromLatin1(name)));
    if (label == nullptr) {
      throw std::logic_error(std::string("no label ") + name + " in the window's layout");
    }
    labels_.*member = label;
  }
}

}  // namespace fbc
