#include <string>
#include <string_view>
#include <utility>

#include "chartlib/grids/drawing_helpers.h"
#include "chartlib/grids/linear_grid_frame.h"
#include "chartlib/macro_library.h"

// The seven linear grids besides Grid00C2. Each states only where it departs from the common
// frame: surface height, line spacing, zero line and labels.
namespace fbc::macro {

namespace {

using detail::bracketed;
using detail::LinearGridFrame;
using ZeroLine = LinearGridFrame::ZeroLine;

// (1 / divisions) x size: the spacing of `divisions` equal parts.
Value perDivision(const Value& divisions, const Value& size) {
  return multiply(divide(Value(1.0), divisions), size);
}

Value tenth(const Value& size) { return multiply(Value(0.1), size); }

Value half(const Value& size) { return multiply(Value(0.5), size); }

// A pattern that prints the label as a bare number, its general number text.
constexpr std::u16string_view kBare;

// A value label `across` of the way along the other axis, minus `offset` when there is one.
LinearGridFrame::ValueLabel valueLabel(std::u16string_view pattern, double across,
                                       LinearGridFrame::Formula offset = {}) {
  return {true, std::move(offset), std::u16string(pattern), across};
}

}  // namespace

void Grid05(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname) {
  LinearGridFrame frame;
  frame.stepH = [&] { return tenth(Scale_H); };
  frame.zero = ZeroLine::Middle;
  frame.yLabel = valueLabel(kBare, 0.0, [&] { return half(Scale_H); });
  frame.yCaption = {[&] { return bracketed(Yname); }, 0.06, 0.02};
  frame.stepV = [&] { return tenth(Scale_W); };
  frame.xLabel = valueLabel(kBare, 0.93);
  frame.xCaption = {[&] { return bracketed(Xname); }, 0.9, 0.85};
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

void Grid05B(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname,
             Value& Xnum, Value& Ynum) {
  LinearGridFrame frame;
  frame.stepH = [&] { return perDivision(Xnum, Scale_H); };
  frame.zero = ZeroLine::Middle;
  frame.yLabel = valueLabel(u"0", 0.01, [&] { return half(Scale_H); });
  frame.yCaption = {[&] { return bracketed(Yname); }, 0.06, 0.02};
  frame.stepV = [&] { return perDivision(Ynum, Scale_W); };
  frame.xLabel = valueLabel(u"0.00E+00", 0.96);
  frame.xCaption = {[&] { return bracketed(Xname); }, 0.9, 0.85};
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

void Grid05N(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xnum, Value& Ynum) {
  LinearGridFrame frame;
  frame.stepH = [&] { return perDivision(Xnum, Scale_H); };
  frame.zero = ZeroLine::Middle;
  frame.stepV = [&] { return perDivision(Ynum, Scale_W); };
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

void Grid00(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname) {
  LinearGridFrame frame;
  frame.stepH = [&] { return tenth(Scale_H); };
  frame.yLabel = valueLabel(kBare, 0.0);
  frame.yCaption = {[&] { return bracketed(Yname); }, 0.08, 0.05};
  frame.stepV = [&] { return tenth(Scale_W); };
  frame.xLabel = valueLabel(kBare, 0.93);
  frame.xCaption = {[&] { return bracketed(Xname); }, 0.8, 0.85};
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

void Grid00B(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname,
             Value& Xnum, Value& Ynum) {
  LinearGridFrame frame;
  frame.stepH = [&] { return perDivision(Xnum, Scale_H); };
  frame.yLabel = valueLabel(u"0.0", 0.01);
  frame.yCaption = {[&] { return bracketed(Yname); }, 0.06, 0.02};
  frame.stepV = [&] { return perDivision(Ynum, Scale_W); };
  frame.xLabel = valueLabel(u"0", 0.95);
  frame.xCaption = {[&] { return bracketed(Xname); }, 0.9, 0.85};
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

void Grid00C(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xnum, Value& Ynum) {
  // Ynum divides the height and Xnum the width, as in Grid00C2, so that the per-division
  // captions describe the lines actually drawn also when Xnum and Ynum differ.
  LinearGridFrame frame;
  frame.resetsPen = true;
  frame.stepH = [&] { return perDivision(Ynum, Scale_H); };
  frame.yCaption = {[&] {
                      return detail::joined({u"[", divide(Scale_H, Ynum).toText(), u"  /div]"});
                    },
                    0.03, 0.01};
  frame.stepV = [&] { return perDivision(Xnum, Scale_W); };
  frame.xCaption = {[&] {
                      const Value micro = multiply(divide(Scale_W, Xnum), Value(1000000.0));
                      return detail::joined({u"[", micro.toText(), u"\u03BCsec/div]"});
                    },
                    0.8, 0.93};
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

void Grid01D(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname,
             Value& Xnum, Value& Ynum) {
  // The surface is (Ynum + 1) / Ynum grid heights tall, ruled every H / (Ynum + 1) upward from
  // the bottom edge, which is also the zero line; the line at distance i is labelled
  // i + H / Ynum. There is no vertical pass, so Xname and Xnum go unused.
  static_cast<void>(Xname);
  static_cast<void>(Xnum);
  const auto linesAbove = [&] { return add(Ynum, Value(1.0)); };
  LinearGridFrame frame;
  frame.height = [&] { return divide(multiply(Scale_H, linesAbove()), Ynum); };
  frame.stepH = [&] { return perDivision(linesAbove(), Scale_H); };
  frame.yLabel = valueLabel(u"0", 0.01, [&] {
    return multiply(subtract(Value(1.0), divide(linesAbove(), Ynum)), Scale_H);
  });
  frame.yCaption = {[&] { return bracketed(Yname); }, 0.06, 0.02};
  detail::drawLinearGrid(Pic_name, Scale_W, Scale_H, frame);
}

}  // namespace fbc::macro
