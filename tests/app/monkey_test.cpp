// A monkey test of the real window: thousands of random edits, pastes, option choices and clicks
// on the offscreen platform. After every event the window must still process a posted event,
// the result labels must show their start captions or the texts of one completed calculation
// (never a half-updated set), and no event may take longer than the watchdog allows.
//
// The seed is fixed and printed; FBC_MONKEY_SEED replays another run, FBC_MONKEY_EVENTS sets
// the number of events.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <mutex>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

#include "app/main_window.h"
#include "design/input_rules.h"
#include "design/result_texts.h"
#include "platform/errors.h"

namespace {

using fbc::MainWindow;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kDefaultSeed = 20240612;
constexpr int kDefaultEvents = 3000;
// An event that runs this long counts as a frozen window.
constexpr auto kFrozen = std::chrono::seconds(2);
// One that has not come back after this long never will: the run is aborted with its seed.
constexpr auto kHung = std::chrono::seconds(30);

std::uint32_t seedFromEnvironment() {
  const char* text = std::getenv("FBC_MONKEY_SEED");
  return text != nullptr && *text != '\0'
             ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10))
             : kDefaultSeed;
}

int eventsFromEnvironment() {
  const char* text = std::getenv("FBC_MONKEY_EVENTS");
  return text != nullptr && *text != '\0' ? std::atoi(text) : kDefaultEvents;
}

// Watches the running event from a thread of its own: reports one that passes kFrozen, and
// aborts the process when one passes kHung, since a frozen window never returns to the test.
class Watchdog {
 public:
  explicit Watchdog(std::uint32_t seed) : seed_(seed), thread_([this] { watch(); }) {}
  ~Watchdog() {
    {
      const std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void begin(int event, std::string description) {
    const std::lock_guard lock(mutex_);
    event_ = event;
    description_ = std::move(description);
    started_ = Clock::now();
    running_ = true;
    frozen_ = false;
  }
  // Whether the event that just ended was reported as frozen.
  bool end() {
    const std::lock_guard lock(mutex_);
    running_ = false;
    return frozen_;
  }

 private:
  void watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      wake_.wait_for(lock, std::chrono::milliseconds(100));
      if (!running_) {
        continue;
      }
      const auto elapsed = Clock::now() - started_;
      if (elapsed > kFrozen && !frozen_) {
        frozen_ = true;
        std::fprintf(stderr, "monkey: event %d (%s) runs longer than 2 s; seed %u\n", event_,
                     description_.c_str(), seed_);
      }
      if (elapsed > kHung) {
        std::fprintf(stderr, "monkey: event %d (%s) never returned; seed %u\n", event_,
                     description_.c_str(), seed_);
        std::abort();
      }
    }
  }

  const std::uint32_t seed_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  bool running_ = false;
  bool frozen_ = false;
  int event_ = 0;
  std::string description_;
  Clock::time_point started_;
  std::thread thread_;
};

// Counts the probe events the event loop delivers.
class PostedEventProbe : public QObject {
 public:
  static QEvent::Type type() {
    static const auto registered = static_cast<QEvent::Type>(QEvent::registerEventType());
    return registered;
  }
  int received() const { return received_; }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == type()) {
      ++received_;
      return true;
    }
    return QObject::event(event);
  }

 private:
  int received_ = 0;
};

// The six captions a calculation writes, in the order of fbc::ResultTexts.
struct Captions {
  QString lblCuondo;
  QString lblinfo;
  QString lbltest;
  QString lblIin;
  QString lblNt;
  QString lblLp;

  friend bool operator==(const Captions&, const Captions&) = default;
};

Captions fromResultTexts(const fbc::ResultTexts& texts) {
  auto q = [](const std::u16string& text) { return QString::fromStdU16String(text); };
  return {q(texts.lblCuondo), q(texts.lblinfo), q(texts.lbltest),
          q(texts.lblIin),    q(texts.lblNt),   q(texts.lblLp)};
}

std::string describe(const Captions& c) {
  return (QStringList{c.lblCuondo, c.lblinfo, c.lbltest, c.lblIin, c.lblNt, c.lblLp}.join(" | "))
      .toStdString();
}

void PrintTo(const Captions& c, std::ostream* out) { *out << describe(c); }

// What an event may do to the result labels.
enum class Effect {
  None,       // option buttons, the check box: nothing
  Edit,       // text edits: only lblIin, through Start
  Calculate,  // cmdcal
  Clear,      // Command1
};

// Texts people type, paste or the program writes: numbers in and out of the limits, huge and
// tiny ones, full-width forms, core names, and plain garbage.
const char16_t* const kPieces[] = {
    u"1e308",  u"1e39",   u"-1e39",       u"1e-45", u"1e-320", u"0",      u"-0",     u"0.5",
    u"1",      u"-1",     u"60",          u"60.01", u"300001", u"9999",   u"1000.5", u"2",
    u"１２３", u"１ｅ５", u"nan",         u"inf",   u"",       u" 24 ",   u"1,000",  u"1,5",
    u"0x10",   u"１．５", u"0.999999999", u"1e5",   u"EER40",  u"END",    u"PQ50",   u"EER25.5",
    u"ｶﾞｿﾘﾝ",  u"電",     u"-",           u".",     u"e",      u"\u3000", u"\uFEFF", u"\t\r\n",
};

const char16_t* const kCores[] = {u"EER25.5", u"EER28", u"EER40", u"EER49",
                                  u"PQ40",    u"PQ50",  u"EC90"};

class Monkey {
 public:
  explicit Monkey(std::uint32_t seed) : random_(seed) {}

  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool chance(int percent) { return below(100) < percent; }

  QChar randomChar() {
    switch (below(10)) {
      case 0:
      case 1:
        return QChar(u"0123456789"[below(10)]);
      case 2:
        return QChar(u".-+eE, "[below(7)]);
      case 3:
        return QChar(static_cast<char16_t>(0xFF10 + below(10)));  // full-width digits
      case 4:
        return QChar(u"．－＋ｅ，\u3000"[below(6)]);
      case 5:
        return QChar(static_cast<char16_t>(below(32)));  // control characters
      case 6: {
        // Delete, byte-order mark, no-break space, minus sign and the two lone surrogates.
        constexpr char16_t kOdd[] = {0x007F, 0xFEFF, 0x00A0, 0x2212, 0xD800, 0xDC00};
        return QChar(kOdd[below(6)]);
      }
      case 7:
        return QChar(u"ｱｶﾞﾊﾟ電圧漢"[below(7)]);
      default:
        return QChar(static_cast<char16_t>(u'!' + below(94)));  // printable ASCII
    }
  }

  QString randomText() {
    switch (below(6)) {
      case 0:
      case 1:
        return QString::fromStdU16String(kPieces[below(static_cast<int>(std::size(kPieces)))]);
      case 2: {
        QString text;
        for (int n = below(12); n > 0; --n) {
          text += randomChar();
        }
        return text;
      }
      case 3: {
        // A number of any magnitude, as people and programs print it.
        const double mantissa = std::uniform_real_distribution<double>(-10, 10)(random_);
        return QString::number(mantissa, 'g', 1 + below(17)) + QStringLiteral("e") +
               QString::number(below(700) - 350);
      }
      case 4:
        return QString::fromUtf8("\xF0\x9F\x98\x80") + randomChar();  // a surrogate pair
      default:
        return QString::number(std::uniform_real_distribution<double>(-10, 2000)(random_), 'g',
                               1 + below(8));
    }
  }

  // A value inside the box's limits, so that calculations also complete.
  QString validText(const QString& box) {
    auto in = [this](double low, double high) {
      return QString::number(std::uniform_real_distribution<double>(low, high)(random_), 'g', 6);
    };
    if (box == QStringLiteral("txtVin")) return in(10, 1000);
    if (box == QStringLiteral("txtVout")) return in(0.5, 60);
    if (box == QStringLiteral("txtIout")) return in(0.1, 60);
    if (box == QStringLiteral("txtFs")) return in(10000, 300000);
    if (box == QStringLiteral("txtVf")) return in(0, 3);
    if (box == QStringLiteral("txtEffi")) return in(30, 100);
    return in(0.05, 0.95);  // txtDuty
  }

 private:
  std::mt19937 random_;
};

class MonkeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.setMessageHandler([this](MainWindow::MessageKind kind, const QString& text) {
      messages_.push_back({kind, text});
    });
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    for (const char* name :
         {"txtVin", "txtVout", "txtIout", "txtFs", "txtVf", "txtEffi", "txtDuty"}) {
      QLineEdit* box = window_.findChild<QLineEdit*>(QString::fromLatin1(name));
      ASSERT_NE(box, nullptr) << name;
      boxes_.push_back(box);
    }
    combo_ = window_.findChild<QComboBox*>(QStringLiteral("cmbCore"));
    ASSERT_NE(combo_, nullptr);
    ASSERT_NE(combo_->lineEdit(), nullptr);
    for (const char* name :
         {"optcore_Lo", "optcore_Hi", "optcore_Typ", "optSSWPFM", "optPWM_Furenzoku",
          "optPWM_Renzoku", "optPFM_Rinkai", "optPWM_Rinkai"}) {
      auto* button = window_.findChild<QRadioButton*>(QString::fromLatin1(name));
      ASSERT_NE(button, nullptr) << name;
      options_.push_back(button);
    }
    check1_ = window_.findChild<QAbstractButton*>(QStringLiteral("Check1"));
    cmdcal_ = window_.findChild<QPushButton*>(QStringLiteral("cmdcal"));
    command1_ = window_.findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(check1_, nullptr);
    ASSERT_NE(cmdcal_, nullptr);
    ASSERT_NE(command1_, nullptr);
    startCaptions_ = captions();
  }

  QLabel* label(const char* name) { return window_.findChild<QLabel*>(QString::fromLatin1(name)); }

  Captions captions() {
    return {label("lblCuondo")->text(), label("lblinfo")->text(), label("lbltest")->text(),
            label("lblIin")->text(),    label("lblNt")->text(),   label("lblLp")->text()};
  }

  // The captions of a completed calculation on the window's current state, if it has them.
  std::optional<Captions> completedCaptions() {
    try {
      return fromResultTexts(fbc::resultTexts(window_.designState()));
    } catch (const fbc::RuntimeError&) {
      return std::nullopt;
    }
  }

  std::optional<QString> estimatedCurrent() {
    try {
      return QString::fromStdU16String(fbc::estimatedInputCurrentText(
          boxes_[1]->text().toStdU16String(), boxes_[2]->text().toStdU16String(),
          boxes_[5]->text().toStdU16String(), boxes_[0]->text().toStdU16String()));
    } catch (const fbc::RuntimeError&) {
      return std::nullopt;
    }
  }

  // One random event on the window, chosen but not yet run.
  struct Action {
    std::string description;
    Effect effect;
    std::function<void()> run;
  };

  Action choose(Monkey& monkey) {
    const int roll = monkey.below(100);
    const bool onCombo = monkey.below(8) == 7;
    QLineEdit* edit =
        onCombo ? combo_->lineEdit() : boxes_[static_cast<std::size_t>(monkey.below(7))];
    const std::string where =
        " in " + (onCombo ? std::string("cmbCore") : edit->objectName().toStdString());
    // Appended rather than "\"" + ...: GCC 12 warns falsely (-Wrestrict) on the latter.
    auto quoted = [](const QString& text) {
      return std::string("\"").append(text.toStdString()).append("\"");
    };
    // Cursor or selection somewhere in the text.
    const int length = static_cast<int>(edit->text().size());
    const int start = monkey.below(length + 1);
    const int selected = monkey.chance(30) ? monkey.below(length - start + 1) : 0;
    auto place = [edit, start, selected] {
      if (selected > 0) {
        edit->setSelection(start, selected);
      } else {
        edit->setCursorPosition(start);
      }
    };

    if (roll < 26) {
      const QChar c = monkey.randomChar();
      // Printable ASCII has key codes of its own; everything else comes as text only, the way an
      // input method delivers it.
      const Qt::Key key = c.unicode() >= 0x20 && c.unicode() < 0x7F
                              ? static_cast<Qt::Key>(c.toUpper().unicode())
                              : Qt::Key_unknown;
      return {"type " + quoted(QString(c)) + where, Effect::Edit, [=] {
                place();
                QTest::sendKeyEvent(QTest::Click, edit, key, QString(c), Qt::NoModifier);
              }};
    }
    if (roll < 34) {
      const bool backspace = monkey.chance(50);
      return {(backspace ? "backspace" : "delete") + where, Effect::Edit, [=] {
                place();
                QTest::keyClick(edit, backspace ? Qt::Key_Backspace : Qt::Key_Delete);
              }};
    }
    if (roll < 44) {
      const bool all = monkey.chance(40);
      const QString text = monkey.randomText();
      return {"paste " + quoted(text) + (all ? " over all" : "") + where, Effect::Edit, [=] {
                if (all) {
                  edit->selectAll();
                } else {
                  place();
                }
                QGuiApplication::clipboard()->setText(text);
                QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
              }};
    }
    if (roll < 51) {
      const QString text = monkey.randomText();
      return {"write " + quoted(text) + where, Effect::Edit, [=, this] {
                if (onCombo) {
                  combo_->setEditText(text);
                } else {
                  edit->setText(text);
                }
              }};
    }
    if (roll < 54) {
      return {"empty" + where, Effect::Edit, [=] {
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Delete);
              }};
    }
    if (roll < 56) {
      const bool redo = monkey.chance(30);
      return {(redo ? "redo" : "undo") + where, Effect::Edit, [=] {
                QTest::keyClick(
                    edit, Qt::Key_Z,
                    redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
              }};
    }
    if (roll < 60) {
      if (monkey.chance(50)) {
        const int index = monkey.below(combo_->count() + 1) - 1;
        return {"choose core " + std::to_string(index), Effect::Edit,
                [=, this] { combo_->setCurrentIndex(index); }};
      }
      const bool up = monkey.chance(50);
      return {up ? "core list up" : "core list down", Effect::Edit,
              [=, this] { QTest::keyClick(combo_, up ? Qt::Key_Up : Qt::Key_Down); }};
    }
    if (roll < 64) {
      // Sensible inputs, so that calculations also complete between the garbage.
      std::vector<QString> texts;
      for (const QLineEdit* box : boxes_) {
        texts.push_back(monkey.validText(box->objectName()));
      }
      const QString core =
          QString::fromStdU16String(kCores[monkey.below(static_cast<int>(std::size(kCores)))]);
      return {"write valid inputs", Effect::Edit, [=, this] {
                for (std::size_t i = 0; i < boxes_.size(); ++i) {
                  boxes_[i]->setText(texts[i]);
                }
                combo_->setEditText(core);
              }};
    }
    if (roll < 72) {
      QAbstractButton* button =
          options_[static_cast<std::size_t>(monkey.below(static_cast<int>(options_.size())))];
      return {"choose " + button->objectName().toStdString(), Effect::None,
              [=] { QTest::mouseClick(button, Qt::LeftButton); }};
    }
    if (roll < 74) {
      return {"click Check1", Effect::None, [this] { QTest::mouseClick(check1_, Qt::LeftButton); }};
    }
    if (roll < 93) {
      return {"click cmdcal", Effect::Calculate,
              [this] { QTest::mouseClick(cmdcal_, Qt::LeftButton); }};
    }
    return {"click Command1", Effect::Clear,
            [this] { QTest::mouseClick(command1_, Qt::LeftButton); }};
  }

  // The labels after one event, judged against the labels before it.
  void checkCaptions(Effect effect, const Captions& before, bool stopped) {
    const Captions after = captions();
    switch (effect) {
      case Effect::None:
        EXPECT_EQ(after, before);
        break;
      case Effect::Edit: {
        Captions expected = before;
        if (after.lblIin != before.lblIin) {
          const std::optional<QString> estimate = estimatedCurrent();
          ASSERT_TRUE(estimate.has_value()) << "lblIin changed without a usable estimate";
          expected.lblIin = *estimate;
        }
        EXPECT_EQ(after, expected);
        break;
      }
      case Effect::Calculate: {
        const std::optional<Captions> completed = completedCaptions();
        const bool showsResults = completed && after == *completed;
        if (!stopped) {
          EXPECT_TRUE(showsResults)
              << "a calculation without a stop shows its results: " << describe(after);
        } else {
          // A stop in the calculation changes no label; one in the waveform stage comes after
          // every label was written.
          EXPECT_TRUE(after == before || showsResults) << "half-updated: " << describe(after);
        }
        if (showsResults) {
          lastCompleted_ = after;
          completed_ += stopped ? 0 : 1;
        }
        break;
      }
      case Effect::Clear: {
        Captions expected = before;
        expected.lblCuondo.clear();
        expected.lblinfo.clear();
        expected.lbltest.clear();
        EXPECT_EQ(after, expected);
        break;
      }
    }
    // Whatever happened, every label shows its start caption, its cleared caption or the text
    // of a completed calculation.
    const Captions shown = captions();
    const Captions& start = startCaptions_;
    auto fromResults = [&](const QString& text, QString Captions::*field) {
      return lastCompleted_ && text == (*lastCompleted_).*field;
    };
    EXPECT_TRUE(shown.lblNt == start.lblNt || fromResults(shown.lblNt, &Captions::lblNt));
    EXPECT_TRUE(shown.lblLp == start.lblLp || fromResults(shown.lblLp, &Captions::lblLp));
    for (QString Captions::*field :
         {&Captions::lblCuondo, &Captions::lblinfo, &Captions::lbltest}) {
      EXPECT_TRUE((shown.*field).isEmpty() || fromResults(shown.*field, field))
          << (shown.*field).toStdString();
    }
  }

  struct Message {
    MainWindow::MessageKind kind;
    QString text;
  };

  MainWindow window_;
  std::vector<Message> messages_;
  std::vector<QLineEdit*> boxes_;  // Vin, Vout, Iout, Fs, Vf, Effi, Duty
  QComboBox* combo_ = nullptr;
  std::vector<QAbstractButton*> options_;
  QAbstractButton* check1_ = nullptr;
  QPushButton* cmdcal_ = nullptr;
  QPushButton* command1_ = nullptr;
  Captions startCaptions_;
  std::optional<Captions> lastCompleted_;
  int completed_ = 0;
};

TEST_F(MonkeyTest, RandomEventsKeepTheWindowResponsiveAndItsResultsWhole) {
  const std::uint32_t seed = seedFromEnvironment();
  const int events = eventsFromEnvironment();
  std::cout << "monkey: seed " << seed << ", " << events
            << " events (FBC_MONKEY_SEED and FBC_MONKEY_EVENTS replay or change them)\n";
  Monkey monkey(seed);
  Watchdog watchdog(seed);
  PostedEventProbe probe;

  Clock::duration slowest{};
  std::string slowestEvent;
  int stops = 0;
  for (int event = 1; event <= events && !HasFatalFailure(); ++event) {
    const Captions before = captions();
    const std::size_t messagesBefore = messages_.size();
    const Action action = choose(monkey);
    watchdog.begin(event, action.description);
    const auto started = Clock::now();
    action.run();
    // Responsive: the event loop still delivers a posted event.
    const int received = probe.received();
    QCoreApplication::postEvent(&probe, new QEvent(PostedEventProbe::type()));
    QCoreApplication::processEvents();

    const auto took = Clock::now() - started;
    const bool frozen = watchdog.end();
    SCOPED_TRACE("event " + std::to_string(event) + ": " + action.description + " (seed " +
                 std::to_string(seed) + ")");
    EXPECT_FALSE(frozen) << "the window froze for more than 2 s";
    EXPECT_EQ(probe.received(), received + 1) << "the posted event was not delivered";
    if (took > slowest) {
      slowest = took;
      slowestEvent = action.description;
    }

    bool stopped = false;
    for (std::size_t i = messagesBefore; i < messages_.size(); ++i) {
      EXPECT_FALSE(messages_[i].text.isEmpty());
      stopped = stopped || messages_[i].kind == MainWindow::MessageKind::Stop;
    }
    stops += stopped ? 1 : 0;
    checkCaptions(action.effect, before, stopped);

    // Exactly one option button stays selected.
    int selected = 0;
    for (const QAbstractButton* button : options_) {
      selected += button->isChecked() ? 1 : 0;
    }
    EXPECT_EQ(selected, 1);
  }

  const double slowestMs = std::chrono::duration<double, std::milli>(slowest).count();
  std::cout << "monkey: " << events << " events, " << completed_ << " completed calculations, "
            << stops << " stops; slowest event " << slowestMs << " ms (" << slowestEvent << ")\n";
  RecordProperty("events", events);
  RecordProperty("max_event_ms", static_cast<int>(slowestMs + 0.5));
  if (events >= 1000) {
    EXPECT_GT(completed_, 0) << "no calculation completed; the inputs were never usable";
    EXPECT_GT(stops, 0) << "no calculation stopped; the inputs were never broken";
  }
}

}  // namespace
