#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QColor>
#include <QHash>
#include <QSet>
#include <QString>
#include <QWidget>

#include "design/calculation.h"
#include "design/core_catalogue.h"
#include "design/design_state.h"
#include "design/input_rules.h"
#include "platform/value.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fbc {

class LabelObject;
class Object;
class PictureBox;

// The designer window `FBC`: every control at its place, the start-up sequence, the input
// boxes' limit rules, `Start`, the calculation button and the clear button. The window owns the
// core catalogue and the design state; the work itself is the engine's.
//
// Inputs that cannot be used never end the program: a text-change handler that meets one marks
// its box (light red, with a tooltip saying why) and leaves the text alone; a calculation that
// stops keeps the shown results, marks the box at fault and tells the person why.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  enum class MessageKind {
    Stop,    // a handler stopped: what is at fault and why
    Notice,  // the results are shown, with something the person should know about them
  };
  using MessageHandler = std::function<void(MessageKind kind, const QString& text)>;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // `Start`: shows the estimated input current for the current inputs in lblIin. When a box
  // it reads cannot be used, lblIin stays as it was and that box is marked.
  void Start();

  // Replaces the dialogs that show stop messages and notices (a null handler restores them).
  void setMessageHandler(MessageHandler handler);

  const DesignState& designState() const noexcept { return state_; }
  // The adapter through which library procedures reach the named label, button or box, or
  // nullptr for a control that has none.
  Object* controlObject(const QString& name) const;

  // The background of a box whose text cannot be used.
  static QColor faultColour();
  bool isMarked(const QWidget* box) const;

 signals:
  // After a calculation that ran to the end, with the inputs it used; designState() holds its
  // results. Lets other windows follow the shown design without touching this one.
  void calculationCompleted(const fbc::DesignInputs& inputs);
  // After the clear button cleared the shown results.
  void displayCleared();

 private:
  void createControls();
  void applyFontsAndColours();
  void setUpTabOrder();
  void connectHandlers();
  void load();
  void fillCoreList();

  void limitedBoxChanged(QLineEdit* box, LimitedBox rule, DesignInput input);
  void txtEffiChanged();
  void cmdcalClick();
  void command1Click();

  void calculate();
  void showResults(const Value& k);
  DesignInputs readInputs() const;
  bool namesUsableCore(const QString& text) const;

  void report(MessageKind kind, const QString& text);
  void mark(QWidget* box, const QString& why);
  void unmark(QWidget* box);
  // Takes the mark off the input's box once its text can be used again.
  void refreshMark(DesignInput input);
  QWidget* boxFor(DesignInput input) const;
  QString boxText(DesignInput input) const;
  void findLabels();

  // The label adapters the handlers write to, found once when the controls are made.
  struct LabelObjects {
    LabelObject* lblmanyu = nullptr;
    LabelObject* lblinfo = nullptr;
    LabelObject* Label7 = nullptr;
    LabelObject* lbldai = nullptr;
    LabelObject* lblCuondo = nullptr;
    LabelObject* lbltest = nullptr;
    LabelObject* lblIin = nullptr;
    LabelObject* lblNt = nullptr;
    LabelObject* lblLp = nullptr;
    LabelObject* lblpic1_1 = nullptr;
    LabelObject* lbldiv1 = nullptr;
    LabelObject* lbldiv2 = nullptr;
  };

  QHash<QString, QWidget*> controls_;
  std::vector<std::unique_ptr<Object>> objects_;
  QHash<QString, Object*> objectByName_;
  QSet<const QWidget*> marked_;
  LabelObjects labels_;

  QButtonGroup* optionGroup_ = nullptr;
  QPushButton* cmdcal_ = nullptr;
  QPushButton* Command1_ = nullptr;
  QLineEdit* txtVin_ = nullptr;
  QLineEdit* txtVout_ = nullptr;
  QLineEdit* txtIout_ = nullptr;
  QLineEdit* txtFs_ = nullptr;
  QLineEdit* txtVf_ = nullptr;
  QLineEdit* txtEffi_ = nullptr;
  QLineEdit* txtDuty_ = nullptr;
  QComboBox* cmbCore_ = nullptr;
  QRadioButton* optcore_Hi_ = nullptr;
  QRadioButton* optcore_Typ_ = nullptr;
  QRadioButton* optcore_Lo_ = nullptr;
  QLabel* lblIin_ = nullptr;
  PictureBox* Pic1_ = nullptr;
  PictureBox* Pic2_ = nullptr;

  std::optional<CoreCatalogue> catalogue_;
  DesignState state_;
  // The core whose figures the design state holds: a core text that names none keeps them.
  QString lookedUpCore_;
  MessageHandler messageHandler_;
};

}  // namespace fbc
