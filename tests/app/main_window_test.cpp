#include "app/main_window.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/control_objects.h"
#include "app/picture_box.h"
#include "app/schematic_view.h"
#include "design/result_texts.h"
#include "platform/object.h"
#include "waveform/waveform_stage.h"

namespace {

using fbc::MainWindow;

std::string str(const QString& text) { return text.toStdString(); }

const char* const kDangerVerdict =
    "銅線温度上昇が大きく危険です。コアを大きくするか容量をへらしましょう。";
const char* const kWorkedExampleTest = "8.125668E-09,202.5396,0.2204155,36.32921";

struct Message {
  MainWindow::MessageKind kind;
  QString text;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<MainWindow>();
    window_->setMessageHandler([this](MainWindow::MessageKind kind, const QString& text) {
      messages_.push_back({kind, text});
    });
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }

  template <typename T>
  T* get(const char* name) {
    T* widget = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QWidget* widget(const char* name) { return get<QWidget>(name); }
  QLineEdit* box(const char* name) { return get<QLineEdit>(name); }
  QString caption(const char* name) { return get<QLabel>(name)->text(); }
  std::int32_t foreColor(const char* name) {
    return window_->controlObject(QString::fromLatin1(name))->property("ForeColor").int32();
  }
  QColor textColour(const char* name) {
    return get<QLabel>(name)->palette().color(QPalette::WindowText);
  }
  void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }
  // Replaces the whole text the way typing over a selection does.
  void typeOver(const char* name, const QString& text) {
    QLineEdit* edit = box(name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  // Every caption a calculation or a clear may change.
  std::map<std::string, std::string> resultCaptions() {
    std::map<std::string, std::string> captions;
    for (const char* name : {"lblCuondo", "lblinfo", "lbltest", "lblIin", "lblNt", "lblLp",
                             "lblpic1_1", "lbldiv1", "lbldiv2"}) {
      captions[name] = str(caption(name));
    }
    return captions;
  }

  int inkedPixels(const char* picture) {
    const QImage& image = get<fbc::PictureBox>(picture)->surface().image();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        count += image.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
      }
    }
    return count;
  }

  std::unique_ptr<MainWindow> window_;
  std::vector<Message> messages_;
};

// ---- Opening state -------------------------------------------------------------------------

TEST_F(MainWindowTest, OpensWithTheStartValues) {
  EXPECT_EQ(str(window_->windowTitle()),
            "タルミナ電機株式会社 フライバックコンバータ用トランス設計ツール");
  const std::vector<std::pair<const char*, const char*>> boxes = {
      {"txtVin", "200"}, {"txtVout", "24"}, {"txtIout", "10"},  {"txtFs", "50000"},
      {"txtVf", "0.7"},  {"txtEffi", "80"}, {"txtDuty", "0.5"}, {"Text6", "図番入力(半角)"}};
  for (const auto& [name, text] : boxes) {
    SCOPED_TRACE(name);
    EXPECT_EQ(str(box(name)->text()), text);
    EXPECT_FALSE(box(name)->isReadOnly());
    EXPECT_FALSE(window_->isMarked(box(name)));
  }
  EXPECT_EQ(str(caption("lblIin")), "1.5");
  EXPECT_EQ(str(caption("lbldai")), "タルミナ電機のトランス設計ソフトver2.4");
  EXPECT_EQ(str(caption("lblmanyu")),
            "使用方法：まず、コンバータのスペックを入力する。コアの温度レベルを選択する。"
            "シミュレーション開始ボタンをクリックする｡すると､銅線の温度状態をシミュレーション"
            "できます｡ (電流は臨海モードにて演算しています。)");
  for (const char* name : {"lblCuondo", "lblinfo", "lbltest", "lblpic1_1"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(caption(name).isEmpty());
  }
  EXPECT_EQ(str(caption("lbldiv1")), "スイッチ電圧電流[100V/div,10A/div]");
  EXPECT_EQ(str(caption("lbldiv2")), "出力ダイオード電圧電流[100V/div,10A/div]");
  const QColor defaultText = textColour("Label13");
  for (const auto& [name, text] :
       std::vector<std::pair<const char*, const char*>>{{"lblNt", "Nt[比]"}, {"lblLp", "Lp[uH]"}}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(str(caption(name)), text);
    EXPECT_EQ(foreColor(name), fbc::kButtonTextColour);
    EXPECT_EQ(textColour(name), defaultText);
  }
  EXPECT_EQ(inkedPixels("Pic1"), 0);
  EXPECT_EQ(inkedPixels("Pic2"), 0);
}

TEST_F(MainWindowTest, CoreListHoldsTheCatalogueNamesAndKeepsTypedText) {
  QComboBox* core = get<QComboBox>("cmbCore");
  EXPECT_TRUE(core->isEditable());
  EXPECT_EQ(str(core->currentText()), "EER25.5");
  ASSERT_EQ(core->count(), 18);
  EXPECT_EQ(str(core->itemText(0)), "EER25.5");
  EXPECT_EQ(str(core->itemText(8)), "EC90");
  EXPECT_EQ(str(core->itemText(17)), "PQ50");
  EXPECT_EQ(core->findText(QStringLiteral("END")), -1);

  QTest::keyClicks(core->lineEdit(), QStringLiteral("X"));
  QTest::keyClick(core->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(core->count(), 18);
}

TEST_F(MainWindowTest, AllEightOptionButtonsFormOneGroup) {
  const char* const names[] = {"optcore_Hi",       "optcore_Typ",   "optcore_Lo",
                               "optPWM_Rinkai",    "optPFM_Rinkai", "optPWM_Renzoku",
                               "optPWM_Furenzoku", "optSSWPFM"};
  auto checkedNames = [&] {
    std::vector<std::string> checked;
    for (const char* name : names) {
      if (get<QRadioButton>(name)->isChecked()) {
        checked.emplace_back(name);
      }
    }
    return checked;
  };
  QButtonGroup* group = get<QRadioButton>("optcore_Typ")->group();
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->exclusive());
  for (const char* name : names) {
    EXPECT_EQ(get<QRadioButton>(name)->group(), group) << name;
  }
  EXPECT_EQ(checkedNames(), std::vector<std::string>{"optcore_Typ"});
  get<QRadioButton>("optPWM_Rinkai")->click();
  EXPECT_EQ(checkedNames(), std::vector<std::string>{"optPWM_Rinkai"});
  click("optcore_Lo");
  EXPECT_EQ(checkedNames(), std::vector<std::string>{"optcore_Lo"});
}

// ---- Layout ------------------------------------------------------------------------------

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesInPixels) {
  EXPECT_EQ(window_->size(), QSize(607, 570));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  struct Place {
    const char* name;
    QRect geometry;
  };
  const Place places[] = {
      {"cmdcal", {184, 424, 217, 25}},     {"Command1", {80, 424, 73, 25}},
      {"Pic1", {40, 296, 257, 81}},        {"Pic2", {304, 296, 249, 81}},
      {"cmbCore", {272, 160, 105, 20}},    {"Image1", {112, 72, 358, 217}},
      {"txtVin", {40, 80, 65, 18}},        {"lblmanyu", {0, 152, 113, 137}},
      {"lbldai", {0, 8, 593, 33}},         {"Label21", {0, 544, 609, 25}},
      {"optcore_Typ", {480, 240, 65, 17}}, {"Check1", {408, 424, 169, 17}},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.name);
    EXPECT_EQ(widget(place.name)->geometry(), place.geometry);
  }
}

TEST_F(MainWindowTest, PlaceholdersRightOfTheClientAreaAreNotVisible) {
  const QRect client(QPoint(0, 0), window_->size());
  for (const char* name :
       {"Label9", "optPWM_Rinkai", "optPFM_Rinkai", "optPWM_Renzoku", "optPWM_Furenzoku",
        "optSSWPFM", "Picture4", "Label8", "Label6", "Text6", "Command2", "Label17", "Label18"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(client.intersects(widget(name)->geometry()));
  }
  for (const char* name : {"Check1", "Label7", "cmdcal", "Label21"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(client.intersects(widget(name)->geometry()));
  }
}

TEST_F(MainWindowTest, SchematicLiesBeneathEverythingAndPic1CoversItsLabel) {
  auto* schematic = get<fbc::SchematicView>("Image1");
  EXPECT_TRUE(schematic->isLoaded());
  // Points of labels drawn over the schematic, and of the label under Pic1.
  const std::pair<const char*, const char*> topmost[] = {{"lblNt", "lblNt"},
                                                         {"lblLp", "lblLp"},
                                                         {"Label4", "Label4"},
                                                         {"Label16", "Label16"},
                                                         {"lblpic1_1", "Pic1"}};
  for (const auto& [under, expected] : topmost) {
    SCOPED_TRACE(under);
    QWidget* at = window_->childAt(widget(under)->geometry().center());
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(str(at->objectName()), expected);
  }
  EXPECT_EQ(window_->childAt(QPoint(450, 100)), schematic);
}

TEST_F(MainWindowTest, FontsColoursAndAlignmentFollowTheLayout) {
  struct FontCase {
    const char* name;
    const char* family;
    qreal points;
    bool boldItalic;
  };
  const FontCase fonts[] = {
      {"cmdcal", "ＭＳ ゴシック", 9.0, false},      {"Label13", "ＭＳ ゴシック", 9.0, false},
      {"optcore_Typ", "ＭＳ ゴシック", 9.0, false}, {"txtVin", "ＭＳ Ｐゴシック", 9.0, false},
      {"txtDuty", "ＭＳ Ｐゴシック", 9.0, false},   {"Pic1", "ＭＳ Ｐゴシック", 9.0, false},
      {"Command2", "ＭＳ Ｐゴシック", 9.0, false},  {"optSSWPFM", "ＭＳ Ｐゴシック", 9.0, false},
      {"Label6", "ＭＳ Ｐゴシック", 9.0, false},    {"lblmanyu", "ＭＳ ゴシック", 8.25, false},
      {"lbldai", "ＭＳ ゴシック", 15.75, true},
  };
  for (const FontCase& expected : fonts) {
    SCOPED_TRACE(expected.name);
    const QFont font = widget(expected.name)->font();
    EXPECT_EQ(str(font.family()), expected.family);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), expected.points);
    EXPECT_EQ(font.bold(), expected.boldItalic);
    EXPECT_EQ(font.italic(), expected.boldItalic);
  }
  EXPECT_EQ(str(get<fbc::PictureBox>("Pic1")->surface().fontFamily()), "ＭＳ Ｐゴシック");

  for (const char* name : {"lblmanyu", "lblinfo"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(foreColor(name), fbc::kBlueColour);
    EXPECT_EQ(textColour(name), QColor(0, 0, 255));
  }
  const QColor grey = window_->palette().color(QPalette::Disabled, QPalette::WindowText);
  EXPECT_EQ(textColour("Label7"), grey);
  EXPECT_EQ(get<QCheckBox>("Check1")->palette().color(QPalette::WindowText), grey);
  EXPECT_TRUE(get<QCheckBox>("Check1")->isEnabled());

  const QColor white = window_->palette().color(QPalette::Base);
  for (const char* name : {"Label4", "Label5", "Label16", "lblNt", "lblLp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(get<QLabel>(name)->palette().color(QPalette::Window), white);
    EXPECT_TRUE(get<QLabel>(name)->autoFillBackground());
  }
  for (const char* name : {"lbldai", "Label21", "lblCuondo", "lblinfo", "lbltest", "lblIin"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(get<QLabel>(name)->alignment() & Qt::AlignHCenter);
  }
  for (const char* name : {"Label13", "lblNt", "lbldiv1", "lblmanyu"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(get<QLabel>(name)->alignment() & Qt::AlignLeft);
  }
  EXPECT_TRUE(get<QLabel>("lblmanyu")->wordWrap());
  EXPECT_TRUE(get<QLabel>("lbldiv2")->wordWrap());
  EXPECT_FALSE(get<QLabel>("Label7")->wordWrap());
}

TEST_F(MainWindowTest, TabOrderFollowsTheListAndCmdcalHasTheFocus) {
  const std::vector<std::string> expected = {
      "cmdcal",           "txtVin",        "txtFs",         "txtVout",
      "txtIout",          "txtEffi",       "Pic1",          "Pic2",
      "cmbCore",          "optPWM_Rinkai", "optPFM_Rinkai", "optPWM_Renzoku",
      "optPWM_Furenzoku", "optSSWPFM",     "Picture4",      "Text6",
      "Command2",         "Check1",        "txtVf",         "txtDuty",
      "optcore_Typ",      "optcore_Hi",    "optcore_Lo",    "Command1"};
  std::vector<std::string> chain;
  QWidget* start = widget("cmdcal");
  QWidget* current = start;
  do {
    if ((current->focusPolicy() & Qt::TabFocus) != 0 && current->parentWidget() == window_.get()) {
      chain.push_back(str(current->objectName()));
    }
    current = current->nextInFocusChain();
  } while (current != start && chain.size() < 100);
  EXPECT_EQ(chain, expected);
  EXPECT_EQ(window_->focusWidget(), widget("cmdcal"));
}

// ---- Input boxes -------------------------------------------------------------------------

struct LimitCase {
  const char* box;
  const char* text;
  const char* expected;
};

class LimitRuleTest : public MainWindowTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LimitRuleTest, WritingTheBoxAppliesItsRule) {
  const LimitCase& c = GetParam();
  QLineEdit* edit = box(c.box);
  edit->setText(QString::fromUtf8(c.text));
  EXPECT_EQ(str(edit->text()), c.expected);
  EXPECT_EQ(edit->cursorPosition(), edit->text().size());
  EXPECT_FALSE(window_->isMarked(edit));
  EXPECT_EQ(str(caption("lblIin")), "1.5");
  EXPECT_TRUE(messages_.empty());
}

// Test names from the box and the position in the table (the texts hold signs and points).
template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info) {
  return std::string(info.param.box) + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, LimitRuleTest,
    ::testing::Values(LimitCase{"txtFs", "300001", "300000"},
                      LimitCase{"txtFs", "300000", "300000"}, LimitCase{"txtFs", "9999", "10000"},
                      LimitCase{"txtFs", "1e5", "1e5"}, LimitCase{"txtVin", "1000.5", "1000"},
                      LimitCase{"txtVin", "9.99", "10"}, LimitCase{"txtVin", "10", "10"},
                      LimitCase{"txtVout", "60.01", "60"}, LimitCase{"txtVout", "0", "10"},
                      LimitCase{"txtVout", "-3", "10"}, LimitCase{"txtVout", "0.1", "0.1"},
                      LimitCase{"txtVout", "60.0", "60.0"}, LimitCase{"txtVout", " 24", " 24"},
                      LimitCase{"txtIout", "61", "60"}, LimitCase{"txtIout", "0", "1"},
                      LimitCase{"txtIout", "0.001", "0.001"}, LimitCase{"txtVf", "3.2", "3"},
                      LimitCase{"txtVf", "-0.1", "0"}, LimitCase{"txtVf", "0", "0"}),
    caseName<LimitCase>);

TEST_F(MainWindowTest, TypingIsRewrittenAtOnceWithTheCaretAtTheEnd) {
  // A lone digit typed over the whole frequency is below the limit.
  typeOver("txtFs", QStringLiteral("2"));
  EXPECT_EQ(str(box("txtFs")->text()), "10000");
  EXPECT_EQ(box("txtFs")->cursorPosition(), 5);

  // A digit appended to 50000 exceeds it; the next keystroke edits the replacement.
  box("txtFs")->setText(QStringLiteral("50000"));
  box("txtFs")->end(false);
  QTest::keyClick(box("txtFs"), Qt::Key_0);
  EXPECT_EQ(str(box("txtFs")->text()), "300000");
  EXPECT_EQ(box("txtFs")->cursorPosition(), 6);
  QTest::keyClick(box("txtFs"), Qt::Key_Backspace);
  EXPECT_EQ(str(box("txtFs")->text()), "30000");

  // Editing inside the limits keeps every keystroke.
  box("txtVin")->end(false);
  QTest::keyClicks(box("txtVin"), QStringLiteral(".5"));
  EXPECT_EQ(str(box("txtVin")->text()), "200.5");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowTest, EfficiencyRefreshesTheInputCurrentAndOthersDoNot) {
  box("txtVin")->setText(QStringLiteral("100"));
  box("txtVout")->setText(QStringLiteral("12"));
  EXPECT_EQ(str(caption("lblIin")), "1.5");
  box("txtVin")->setText(QStringLiteral("200"));
  box("txtVout")->setText(QStringLiteral("24"));
  typeOver("txtEffi", QStringLiteral("90"));
  EXPECT_EQ(str(caption("lblIin")), "1.33333333333333");
}

TEST_F(MainWindowTest, FullWidthDigitsFromAnInputMethodAreNumbers) {
  box("txtEffi")->selectAll();
  QTest::sendKeyEvent(QTest::Click, box("txtEffi"), Qt::Key_unknown, QStringLiteral("９０"),
                      Qt::NoModifier);
  EXPECT_EQ(str(box("txtEffi")->text()), "９０");
  EXPECT_EQ(str(caption("lblIin")), "1.33333333333333");
  EXPECT_FALSE(window_->isMarked(box("txtEffi")));
}

struct UnusableTextCase {
  const char* box;
  const char* text;
  const char* fixed;
};

class UnusableTextTest : public MainWindowTest,
                         public ::testing::WithParamInterface<UnusableTextCase> {};

// A text-change handler that cannot use the text marks the box, keeps the text and asks nothing.
TEST_P(UnusableTextTest, MarksTheBoxUntilItHoldsANumberAgain) {
  const UnusableTextCase& c = GetParam();
  QLineEdit* edit = box(c.box);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QString::fromUtf8(c.text));
  EXPECT_EQ(str(edit->text()), c.text);
  EXPECT_TRUE(window_->isMarked(edit));
  EXPECT_FALSE(edit->toolTip().isEmpty());
  EXPECT_EQ(edit->palette().color(QPalette::Base), MainWindow::faultColour());
  EXPECT_EQ(str(caption("lblIin")), "1.5");
  EXPECT_TRUE(messages_.empty());

  edit->setText(QString::fromUtf8(c.fixed));
  EXPECT_FALSE(window_->isMarked(edit));
  EXPECT_TRUE(edit->toolTip().isEmpty());
  EXPECT_EQ(edit->palette().color(QPalette::Base), window_->palette().color(QPalette::Base));
  EXPECT_TRUE(messages_.empty());
}

INSTANTIATE_TEST_SUITE_P(Boxes, UnusableTextTest,
                         ::testing::Values(UnusableTextCase{"txtVin", "", "150"},
                                           UnusableTextCase{"txtVout", "-", "12"},
                                           UnusableTextCase{"txtIout", "abc", "5"},
                                           UnusableTextCase{"txtFs", "", "20000"},
                                           UnusableTextCase{"txtVf", ".", "0.5"},
                                           UnusableTextCase{"txtEffi", "", "90"},
                                           UnusableTextCase{"txtEffi", "0", "90"}),
                         caseName<UnusableTextCase>);

// ---- Calculation -------------------------------------------------------------------------

TEST_F(MainWindowTest, ClickShowsTheWorkedExampleAndAlternatesTheScaleColour) {
  click("cmdcal");
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(str(caption("lblCuondo")), kDangerVerdict);
  EXPECT_EQ(str(caption("lbltest")), kWorkedExampleTest);
  EXPECT_EQ(str(caption("lblIin")), "1.5");
  EXPECT_EQ(str(caption("lblNt")), "1 : 0.136");
  EXPECT_EQ(str(caption("lblLp")), "333.333[uH]");
  EXPECT_TRUE(caption("lblinfo").contains(
      QString::fromStdU16String(std::u16string(fbc::kMakerContactAddress))));
  for (const char* name : {"lblNt", "lblLp", "lblCuondo"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(foreColor(name), fbc::kRedColour);
    EXPECT_EQ(textColour(name), QColor(255, 0, 0));
  }
  EXPECT_EQ(textColour("lblinfo"), QColor(0, 0, 255));
  EXPECT_EQ(window_->designState().CoreSel, u"EER25.5");

  EXPECT_EQ(str(caption("lblpic1_1")), "fs=50kHz");
  EXPECT_EQ(str(caption("lbldiv1")), "スイッチ電圧電流[125V/div][2.5A/div]");
  EXPECT_EQ(str(caption("lbldiv2")), "ダイオード電圧電流[20V/div][20A/div]");
  EXPECT_EQ(foreColor("lbldiv1"), fbc::kBlueColour);
  EXPECT_EQ(foreColor("lbldiv2"), fbc::kBlueColour);
  EXPECT_EQ(textColour("lbldiv1"), QColor(0, 0, 255));
  EXPECT_GT(inkedPixels("Pic1"), 0);
  EXPECT_GT(inkedPixels("Pic2"), 0);

  const auto first = resultCaptions();
  click("cmdcal");
  EXPECT_EQ(resultCaptions(), first);
  EXPECT_EQ(foreColor("lbldiv1"), fbc::kButtonTextColour);
  EXPECT_EQ(textColour("lbldiv1"), textColour("Label13"));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowTest, ClearErasesThePlotsAndTheMessagesOnly) {
  click("cmdcal");
  click("Command1");
  for (const char* name : {"lbldiv1", "lbldiv2", "lblCuondo", "lblinfo", "lbltest"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(caption(name).isEmpty());
  }
  EXPECT_EQ(str(caption("lblpic1_1")), "fs=50kHz");
  EXPECT_EQ(str(caption("lblNt")), "1 : 0.136");
  EXPECT_EQ(foreColor("lblLp"), fbc::kRedColour);
  EXPECT_EQ(foreColor("lbldiv1"), fbc::kBlueColour);
  EXPECT_EQ(inkedPixels("Pic1"), 0);
  EXPECT_EQ(inkedPixels("Pic2"), 0);
  EXPECT_TRUE(messages_.empty());
}

struct BadInputCase {
  const char* box;  // a text box, or "cmbCore"
  const char* text;
  const char* good;
  const char* says;  // part of the stop message
};

class BadInputTest : public MainWindowTest, public ::testing::WithParamInterface<BadInputCase> {
 protected:
  void setText(const char* name, const char* text) {
    if (std::string(name) == "cmbCore") {
      get<QComboBox>(name)->setEditText(QString::fromUtf8(text));
    } else {
      box(name)->setText(QString::fromUtf8(text));
    }
  }
};

TEST_P(BadInputTest, StopsWithAMessageMarksTheBoxAndKeepsTheResults) {
  const BadInputCase& c = GetParam();
  click("cmdcal");
  ASSERT_TRUE(messages_.empty());
  const int inked = inkedPixels("Pic1");

  // Only the click is to change nothing: a new efficiency refreshes lblIin on its own.
  setText(c.box, c.text);
  const auto shown = resultCaptions();
  messages_.clear();
  click("cmdcal");
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].kind, MainWindow::MessageKind::Stop);
  EXPECT_TRUE(messages_[0].text.contains(QString::fromUtf8(c.says))) << str(messages_[0].text);
  EXPECT_EQ(resultCaptions(), shown);
  EXPECT_EQ(inkedPixels("Pic1"), inked);
  QWidget* faulty = widget(c.box);
  EXPECT_TRUE(window_->isMarked(faulty));
  EXPECT_FALSE(faulty->toolTip().isEmpty());

  setText(c.box, c.good);
  EXPECT_FALSE(window_->isMarked(faulty));
  messages_.clear();
  click("cmdcal");
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(resultCaptions().at("lbltest"), shown.at("lbltest"));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInputTest,
    ::testing::Values(BadInputCase{"txtDuty", "abc", "0.5", "数値ではありません"},
                      BadInputCase{"txtDuty", "1", "0.5", "0より大きく1より小さい"},
                      BadInputCase{"txtDuty", "0", "0.5", "0より大きく1より小さい"},
                      BadInputCase{"txtDuty", "1.5", "0.5", "0より大きく1より小さい"},
                      BadInputCase{"txtDuty", "", "0.5", "Duty"},
                      BadInputCase{"txtEffi", "0", "80", "予測効率"},
                      BadInputCase{"txtEffi", "-80", "80", "0より大きい"},
                      BadInputCase{"txtVin", "", "200", "直流入力電圧"},
                      BadInputCase{"cmbCore", "", "EER25.5", "コアが選択されていません"},
                      BadInputCase{"cmbCore", "END", "EER25.5", "END"}),
    caseName<BadInputCase>);

TEST_F(MainWindowTest, UnknownCoreIsRefusedBeforeAnyLookupAndLaterUsesThePreviousOne) {
  get<QComboBox>("cmbCore")->setEditText(QStringLiteral("pq2016"));
  click("cmdcal");
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].kind, MainWindow::MessageKind::Stop);
  EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("pq2016")));
  EXPECT_TRUE(caption("lbltest").isEmpty());
  EXPECT_TRUE(window_->isMarked(widget("cmbCore")));

  get<QComboBox>("cmbCore")->setEditText(QStringLiteral("EER25.5"));
  EXPECT_FALSE(window_->isMarked(widget("cmbCore")));
  messages_.clear();
  click("cmdcal");
  ASSERT_TRUE(messages_.empty());

  get<QComboBox>("cmbCore")->setEditText(QStringLiteral("pq2016"));
  click("cmdcal");
  ASSERT_EQ(messages_.size(), 1U);
  EXPECT_EQ(messages_[0].kind, MainWindow::MessageKind::Notice);
  EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("EER25.5")));
  EXPECT_EQ(str(caption("lbltest")), kWorkedExampleTest);
  EXPECT_EQ(str(widget("cmbCore")->toolTip()), "計算はコア EER25.5 で行いました");
  EXPECT_FALSE(window_->isMarked(widget("cmbCore")));

  // A later calculation with a listed core says nothing more.
  get<QComboBox>("cmbCore")->setCurrentIndex(17);
  messages_.clear();
  click("cmdcal");
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(widget("cmbCore")->toolTip().isEmpty());
  EXPECT_EQ(window_->designState().CoreSel, u"PQ50");
}

TEST_F(MainWindowTest, TemperatureLevelIsReadFromTheOptionButtons) {
  click("optcore_Hi");
  click("cmdcal");
  const float hiDb = window_->designState().dB;
  click("optcore_Lo");
  click("cmdcal");
  const float loDb = window_->designState().dB;
  EXPECT_NEAR(hiDb, 0.3747064F, 1e-6F);
  EXPECT_NEAR(loDb, 0.198374F, 1e-6F);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowTest, Check1OnlyTogglesItsTick) {
  const auto before = resultCaptions();
  QCheckBox* check = get<QCheckBox>("Check1");
  EXPECT_FALSE(check->isChecked());
  click("Check1");
  EXPECT_TRUE(check->isChecked());
  EXPECT_EQ(resultCaptions(), before);
  EXPECT_EQ(inkedPixels("Pic1"), 0);
  click("Check1");
  EXPECT_FALSE(check->isChecked());
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
