#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QWidget>

#include "review/losses.h"
#include "review/review_inputs.h"
#include "review/windings/wire_table.h"

class QComboBox;
class QLineEdit;

namespace fbc {

// The review's winding conditions in one row: each winding's wire, by its kind (自動 or a kind
// of wire) and its text ("litz:0.1x60"), and the arrangement (自動, ps or psp). The wire's text
// is what the review reads, as every front end writes it; the kind follows the text, and
// choosing a kind puts a wire of that kind into the text: the review's own choice where it is of
// that kind, else an example to edit. Empty, "auto" or 「自動」 leave the wire to the review.
class WindingConditionsRow : public QWidget {
  Q_OBJECT

 public:
  explicit WindingConditionsRow(QWidget* parent = nullptr);

  // The texts of WirePrimary, WireSecondary and Arrangement, as typed or chosen.
  void readInto(ReviewInputs& inputs) const;
  // The control that holds `input`'s text: the wire's text field or the arrangement's choice;
  // nullptr for the other inputs.
  QWidget* field(ReviewInput input) const;
  // The row's controls in the order Tab reaches them.
  std::vector<QWidget*> focusChain() const;
  // The wires of the review on show, which choosing a kind starts from; none cleared.
  void setReviewedWires(const TransformerLosses& losses);
  void clearReviewedWires();

 signals:
  // A wire's text or the arrangement changed.
  void changed();

 private:
  struct WireFields {
    ReviewInput input = ReviewInput::WirePrimary;
    QComboBox* kind = nullptr;  // 自動, then the kinds of wire
    QLineEdit* text = nullptr;
    std::optional<Wire> reviewed;
  };

  void addWire(std::size_t index, ReviewInput input);
  // The kind shown follows the text without writing the text back.
  void followText(WireFields& wire);
  void kindChosen(WireFields& wire);

  std::array<WireFields, 2> wires_{};
  QComboBox* arrangement_ = nullptr;  // data: "auto" or the arrangement's code
};

}  // namespace fbc
