#include "app/accessibility.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
// The offscreen platform keeps accessibility off and offers no public switch; Qt's own
// accessibility tests turn it on through the platform integration, and so do these.
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QtGui/qpa/qwindowsysteminterface.h>

#include "app/main_window.h"
#include "design/click_constants.h"
#include "waveform/plot_descriptions.h"

namespace {

using fbc::MainWindow;

std::string str(const QString& text) { return text.toStdString(); }

struct Announcement {
  QAccessible::Event type;
  QPointer<QObject> object;
};

std::vector<Announcement>& announcements() {
  static std::vector<Announcement> list;
  return list;
}

void recordAnnouncement(QAccessibleEvent* event) {
  announcements().push_back({event->type(), event->object()});
}

// Records every context menu shown and closes it at once, so a menu run from a key press
// returns; `count` tells whether one request opened two menus.
class MenuWatcher : public QObject {
 public:
  MenuWatcher() { qApp->installEventFilter(this); }
  ~MenuWatcher() override { qApp->removeEventFilter(this); }

  int count = 0;
  QStringList lastTexts;
  QPoint lastPosition;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu != nullptr && event->type() == QEvent::Show) {
      ++count;
      lastPosition = menu->pos();
      lastTexts.clear();
      for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
          lastTexts << action->text();
        }
      }
      QTimer::singleShot(0, menu, &QMenu::close);
    }
    return false;
  }
};

// The window's own background menu: the texts of its actions, in order.
QStringList windowMenu(const QWidget& window) {
  QStringList texts;
  for (const QAction* action : window.actions()) {
    texts << action->text();
  }
  return texts;
}

class AccessibilityTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    QPlatformAccessibility* platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    ASSERT_NE(platform, nullptr);
    QAccessible::installUpdateHandler(&recordAnnouncement);
    platform->setActive(true);
  }
  static void TearDownTestSuite() {
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
  }

  void SetUp() override {
    ASSERT_TRUE(QAccessible::isActive());
    window_ = std::make_unique<MainWindow>();
    window_->setMessageHandler([](MainWindow::MessageKind, const QString&) {});
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    announcements().clear();
  }

  template <typename T>
  T* get(const char* name) {
    T* widget = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QAccessibleInterface* accessible(const char* name) {
    return QAccessible::queryAccessibleInterface(get<QObject>(name));
  }
  QString description(const char* name) { return accessible(name)->text(QAccessible::Description); }
  void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }
  void typeOver(const char* name, const QString& text) {
    QLineEdit* edit = get<QLineEdit>(name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  int announced(QAccessible::Event type, const char* name) {
    QObject* object = get<QObject>(name);
    int count = 0;
    for (const Announcement& a : announcements()) {
      count += a.type == type && a.object == object ? 1 : 0;
    }
    return count;
  }

  std::unique_ptr<MainWindow> window_;
};

void collect(QAccessibleInterface* iface, std::vector<QAccessibleInterface*>& into, int depth) {
  ASSERT_LT(depth, 12) << "the accessibility tree loops";
  into.push_back(iface);
  for (int i = 0; i < iface->childCount(); ++i) {
    if (QAccessibleInterface* child = iface->child(i)) {
      collect(child, into, depth + 1);
    }
  }
}

// What a reader announces for a control: never just the number or core name it holds.
TEST_F(AccessibilityTest, EveryBoxAndPictureInTheClientAreaIsNamedNotByItsContent) {
  std::vector<QAccessibleInterface*> all;
  collect(QAccessible::queryAccessibleInterface(window_.get()), all, 0);
  const QRect clientArea(window_->mapToGlobal(QPoint(0, 0)), window_->size());

  std::map<QAccessible::Role, int> seen;
  for (QAccessibleInterface* iface : all) {
    const QAccessible::Role role = iface->role();
    if (role != QAccessible::EditableText && role != QAccessible::ComboBox &&
        role != QAccessible::Graphic) {
      continue;
    }
    if (!clientArea.intersects(iface->rect())) {
      continue;  // the placeholders right of the client area are never seen
    }
    ++seen[role];
    const QString name = iface->text(QAccessible::Name);
    QString content = iface->text(QAccessible::Value);
    if (auto* edit = qobject_cast<QLineEdit*>(iface->object())) {
      content = edit->text();
    } else if (auto* box = qobject_cast<QComboBox*>(iface->object())) {
      content = box->currentText();
    }
    SCOPED_TRACE(iface->object() != nullptr ? str(iface->object()->objectName()) : "?");
    EXPECT_FALSE(name.trimmed().isEmpty());
    EXPECT_NE(name, content);
  }
  // Seven text boxes and the core box's edit field, the core box, the schematic and two plots.
  EXPECT_EQ(seen[QAccessible::EditableText], 8);
  EXPECT_EQ(seen[QAccessible::ComboBox], 1);
  EXPECT_EQ(seen[QAccessible::Graphic], 3);
}

TEST_F(AccessibilityTest, EachInputIsNamedAfterItsCaptionAndTiedToTheLabelBesideIt) {
  struct Case {
    const char* box;
    const char* name;
    const char* label;  // the label beside the box, if any
  };
  const Case cases[] = {
      {"txtVin", "直流入力電圧[V]", "Label13"},
      {"txtVout", "出力電圧[V]", "Label10"},
      {"txtIout", "出力電流[A]", "Label12"},
      {"txtEffi", "予測効率[%]", "Label5"},
      {"txtDuty", "Duty", "Label4"},
      {"txtVf", "Vf[V]", "Label15"},
      {"cmbCore", "コア選択", "Label16"},
      {"txtFs", "スイッチング周波数[Hz]", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    QAccessibleInterface* iface = accessible(c.box);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(str(iface->text(QAccessible::Name)), c.name);
    const auto labels = iface->relations(QAccessible::Label);
    if (c.label == nullptr) {
      EXPECT_TRUE(labels.isEmpty());
      continue;
    }
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), get<QLabel>(c.label));
    EXPECT_EQ(get<QLabel>(c.label)->buddy(), get<QWidget>(c.box));
  }
  // The core box still reports the chosen core, as its value and through its edit field.
  auto* core = get<QComboBox>("cmbCore");
  EXPECT_EQ(accessible("cmbCore")->text(QAccessible::Value), core->currentText());
  QAccessibleInterface* field = QAccessible::queryAccessibleInterface(core->lineEdit());
  EXPECT_EQ(field->text(QAccessible::Value), core->currentText());
  EXPECT_EQ(accessible("cmbCore")->indexOfChild(field), 1);
}

TEST_F(AccessibilityTest, SchematicAndPlotsAreNamedPictures) {
  for (const char* name : {"Image1", "Pic1", "Pic2"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(accessible(name)->role(), QAccessible::Graphic);
  }
  EXPECT_EQ(str(accessible("Image1")->text(QAccessible::Name)), "フライバックコンバータ回路図");
  EXPECT_NE(description("Image1").indexOf(QStringLiteral("フライバックコンバータ")), -1);
  EXPECT_EQ(str(accessible("Pic1")->text(QAccessible::Name)), "スイッチ電圧電流波形");
  EXPECT_EQ(str(accessible("Pic2")->text(QAccessible::Name)), "ダイオード電圧電流波形");
  // The outline placeholder right of the client area takes the caption beneath it.
  EXPECT_EQ(str(accessible("Picture4")->text(QAccessible::Name)), "トランス外形図");
  // Nothing is drawn yet.
  EXPECT_TRUE(description("Pic1").isEmpty());
  EXPECT_TRUE(description("Pic2").isEmpty());
}

TEST_F(AccessibilityTest, PlotDescriptionsFollowEachCalculationAndTheClear) {
  click("cmdcal");
  const std::optional<fbc::PlotDescriptions> expected =
      fbc::plotDescriptions(window_->designState(), fbc::clickConstants().m);
  ASSERT_TRUE(expected.has_value());
  const QString first = description("Pic1");
  EXPECT_EQ(first.toStdU16String(), expected->switchPlot);
  EXPECT_EQ(description("Pic2").toStdU16String(), expected->diodePlot);
  EXPECT_NE(first.indexOf(QStringLiteral("381.5V")), -1);
  EXPECT_EQ(announced(QAccessible::DescriptionChanged, "Pic1"), 1);
  EXPECT_EQ(announced(QAccessible::DescriptionChanged, "Pic2"), 1);

  // A higher input voltage raises the switch peak: the description follows.
  typeOver("txtVin", QStringLiteral("300"));
  click("cmdcal");
  const QString second = description("Pic1");
  EXPECT_NE(second, first);
  EXPECT_EQ(second.toStdU16String(),
            fbc::plotDescriptions(window_->designState(), fbc::clickConstants().m)->switchPlot);

  // A calculation that stops draws nothing, so the plots still show the last one.
  typeOver("txtVout", QStringLiteral("abc"));
  click("cmdcal");
  EXPECT_EQ(description("Pic1"), second);

  click("Command1");
  EXPECT_TRUE(description("Pic1").isEmpty());
  EXPECT_TRUE(description("Pic2").isEmpty());
}

// QLabel reports a change of its text as a change of its accessible name while it has no
// name of its own; the result labels must keep it that way, once per change.
TEST_F(AccessibilityTest, ResultLabelsAnnounceEachNewText) {
  const char* const results[] = {"lblCuondo", "lbltest", "lblIin", "lblNt", "lblLp"};
  // Another input voltage, so that the input current shown at opening changes too.
  typeOver("txtVin", QStringLiteral("300"));
  announcements().clear();
  click("cmdcal");
  for (const char* name : results) {
    SCOPED_TRACE(name);
    EXPECT_EQ(announced(QAccessible::NameChanged, name), 1);
    EXPECT_EQ(accessible(name)->text(QAccessible::Name), get<QLabel>(name)->text());
    EXPECT_FALSE(get<QLabel>(name)->text().isEmpty());
  }

  // The clear button empties the verdict and the test line only.
  announcements().clear();
  click("Command1");
  for (const char* name : results) {
    SCOPED_TRACE(name);
    const bool emptied = std::string(name) == "lblCuondo" || std::string(name) == "lbltest";
    EXPECT_EQ(announced(QAccessible::NameChanged, name), emptied ? 1 : 0);
  }
}

TEST_F(AccessibilityTest, ContextMenuOpensFromTheKeyboard) {
  struct Case {
    const char* focus;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int menus;
    bool windowMenu;  // the window's own menu, not the control's editing menu
  };
  const Case cases[] = {
      {"cmdcal", Qt::Key_F10, Qt::ShiftModifier, 1, true},
      {"Pic1", Qt::Key_F10, Qt::ShiftModifier, 1, true},
      {"cmdcal", Qt::Key_Menu, Qt::NoModifier, 1, true},
      {"txtVin", Qt::Key_F10, Qt::ShiftModifier, 1, false},
      {"cmbCore", Qt::Key_Menu, Qt::NoModifier, 1, false},
      {"cmdcal", Qt::Key_F10, Qt::NoModifier, 0, false},
      {"cmdcal", Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.focus << " key " << c.key << " mods " << c.modifiers);
    // A menu shown before took the activation away.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    get<QWidget>(c.focus)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), get<QWidget>(c.focus));
    MenuWatcher watcher;
    QTest::keyClick(window_->windowHandle(), c.key, c.modifiers);
    QCoreApplication::processEvents();
    EXPECT_EQ(watcher.count, c.menus);
    if (c.menus > 0) {
      EXPECT_EQ(watcher.lastTexts == windowMenu(*window_), c.windowMenu)
          << str(watcher.lastTexts.join(u'|'));
    }
  }
}

// Where the platform itself turns the Menu key into a menu (X11), the key that follows must
// not open a second one.
TEST_F(AccessibilityTest, MenuKeyThatThePlatformTurnedIntoAMenuOpensOnlyThatOne) {
  get<QWidget>("cmdcal")->setFocus();
  MenuWatcher watcher;
  QWindow* native = window_->windowHandle();
  // The order X11 reports the key in: the menu request first, then the key itself.
  QWindowSystemInterface::handleContextMenuEvent(
      native, false, QPoint(10, 10), native->mapToGlobal(QPoint(10, 10)), Qt::NoModifier);
  QCoreApplication::processEvents();
  QTest::keyClick(native, Qt::Key_Menu);
  QCoreApplication::processEvents();
  EXPECT_EQ(watcher.count, 1);
  EXPECT_EQ(watcher.lastTexts, windowMenu(*window_));

  // The next Menu key without a platform menu opens one again.
  QTest::keyClick(native, Qt::Key_Menu);
  QCoreApplication::processEvents();
  EXPECT_EQ(watcher.count, 2);
}

}  // namespace
