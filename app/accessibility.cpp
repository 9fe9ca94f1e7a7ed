#include "app/accessibility.h"

#include <optional>
#include <string>
#include <utility>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "app/context_menu_keys.h"
#include "app/picture_box.h"
#include "app/schematic_view.h"
#include "design/design_inputs.h"
#include "waveform/plot_descriptions.h"

namespace fbc {

namespace {

// The labels that stand beside an input box in the window's layout, and the caption beneath
// the transformer outline picture (right of the client area, but in the tab order).
constexpr std::pair<const char*, const char*> kBuddies[] = {
    {"Label13", "txtVin"}, {"Label10", "txtVout"}, {"Label12", "txtIout"}, {"Label5", "txtEffi"},
    {"Label4", "txtDuty"}, {"Label15", "txtVf"},   {"Label16", "cmbCore"}, {"Label8", "Picture4"},
};

const char* const kSchematic = "Image1";
const char* const kSwitchPlot = "Pic1";
const char* const kDiodePlot = "Pic2";

// On Linux Qt reports a combo box's current text as its name and leaves the caption to the
// label relation, so a reader that asks for the name hears only "EER25.5". A combo box given
// an accessible name reports that name instead; the text stays its value.
class NamedComboBox : public QAccessibleWidget {
 public:
  explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    const QComboBox* box = comboBox();
    if (t == QAccessible::Name && !box->accessibleName().isEmpty()) {
      return box->accessibleName();
    }
    if (t == QAccessible::Name || t == QAccessible::Value) {
      return box->currentText();
    }
    return QAccessibleWidget::text(t);
  }

  // The list, then the edit field of an editable box, as Qt's own combo box interface has them.
  int childCount() const override { return comboBox()->isEditable() ? 2 : 1; }

  QAccessibleInterface* child(int index) const override {
    if (index == 0) {
      return QAccessible::queryAccessibleInterface(comboBox()->view());
    }
    if (index == 1 && comboBox()->isEditable()) {
      return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
    }
    return nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) {
      return -1;
    }
    if (child->object() == comboBox()->view()) {
      return 0;
    }
    if (comboBox()->isEditable() && child->object() == comboBox()->lineEdit()) {
      return 1;
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QLineEdit* edit = comboBox()->lineEdit();
    if (edit != nullptr && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y)) {
      return child(1);
    }
    return nullptr;
  }

  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) {
      return;
    }
    if (comboBox()->view()->isVisible()) {
      comboBox()->hidePopup();
    } else {
      comboBox()->showPopup();
    }
  }

  QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

 private:
  QComboBox* comboBox() const { return static_cast<QComboBox*>(widget()); }
};

QComboBox* namedComboBox(QObject* object) {
  auto* box = qobject_cast<QComboBox*>(object);
  return box != nullptr && !box->accessibleName().isEmpty() ? box : nullptr;
}

// The plots and the schematic are pictures to a reader, not empty panes.
bool isPicture(QObject* object) {
  return qobject_cast<PictureBox*>(object) != nullptr ||
         qobject_cast<SchematicView*>(object) != nullptr;
}

QAccessibleInterface* windowAccessibleFactory(const QString& /*className*/, QObject* object) {
  if (QComboBox* box = namedComboBox(object)) {
    return new NamedComboBox(box);
  }
  if (isPicture(object)) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
  }
  return nullptr;
}

void installFactoryOnce() {
  static const bool installed = [] {
    QAccessible::installFactory(&windowAccessibleFactory);
    return true;
  }();
  (void)installed;
}

// Interfaces made before the factory or the names were in place (a reader already listening
// while the window is built) are dropped, so the next query makes the right ones.
void dropStaleInterfaces(QWidget& window) {
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    const bool combo = namedComboBox(widget) != nullptr;
    if (!combo && !isPicture(widget)) {
      continue;
    }
    QAccessibleInterface* current = QAccessible::queryAccessibleInterface(widget);
    if (current == nullptr) {
      continue;
    }
    const bool stale = combo ? dynamic_cast<NamedComboBox*>(current) == nullptr
                             : current->role() != QAccessible::Graphic;
    if (stale) {
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
    }
  }
}

template <typename T>
T* child(QWidget& window, const char* name) {
  return window.findChild<T*>(QString::fromLatin1(name));
}

void describe(QWidget& window, const char* name, const std::u16string& text) {
  if (auto* plot = child<QWidget>(window, name)) {
    plot->setAccessibleDescription(QString::fromStdU16String(text));
  }
}

}  // namespace

void setUpAccessibility(QWidget& window) {
  installFactoryOnce();

  for (const InputInfo& info : kInputTable) {
    auto* box = child<QWidget>(window, info.box.data());
    if (box == nullptr) {
      continue;
    }
    const QString name = QString::fromStdU16String(std::u16string(info.caption));
    box->setAccessibleName(name);
    // The edit field inside the core box is a text box of its own to a reader.
    if (auto* combo = qobject_cast<QComboBox*>(box); combo != nullptr && combo->lineEdit()) {
      combo->lineEdit()->setAccessibleName(name);
    }
  }
  for (const auto& [label, box] : kBuddies) {
    if (auto* caption = child<QLabel>(window, label)) {
      caption->setBuddy(child<QWidget>(window, box));
    }
  }

  if (auto* schematic = child<QWidget>(window, kSchematic)) {
    schematic->setAccessibleName(QStringLiteral("フライバックコンバータ回路図"));
    schematic->setAccessibleDescription(QStringLiteral(
        "直流入力電源、トランスの一次巻線と二次巻線、一次側のスイッチ(NチャネルMOSFETとソース"
        "抵抗)、二次側の出力ダイオードと出力コンデンサからなるフライバックコンバータ。スイッチが"
        "オンの間にトランスへエネルギーを蓄え、オフの間に出力ダイオードを通して出力へ送る。"));
  }
  if (auto* plot = child<QWidget>(window, kSwitchPlot)) {
    plot->setAccessibleName(QStringLiteral("スイッチ電圧電流波形"));
  }
  if (auto* plot = child<QWidget>(window, kDiodePlot)) {
    plot->setAccessibleName(QStringLiteral("ダイオード電圧電流波形"));
  }
  dropStaleInterfaces(window);

  ContextMenuKeys::install(window);
}

void describePlots(QWidget& window, const DesignState& state, const Value& m) {
  if (const std::optional<PlotDescriptions> d = plotDescriptions(state, m)) {
    describe(window, kSwitchPlot, d->switchPlot);
    describe(window, kDiodePlot, d->diodePlot);
  }
}

void clearPlotDescriptions(QWidget& window) {
  describe(window, kSwitchPlot, {});
  describe(window, kDiodePlot, {});
}

}  // namespace fbc
