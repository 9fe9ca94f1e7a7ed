#pragma once

#include <string>

#include <QImage>

#include "design/design_state.h"
#include "platform/value.h"
#include "review/export_request.h"

namespace fbc {

// The report picture of one completed design: the window's two plots side by side on white,
// placed as the window places them, with the two scale captions under them and the frequency
// caption beneath (in the window it lies hidden under Pic1). The drawing is the waveform
// stage's own, run once on fresh surfaces of the picture boxes' size; the captions are the
// texts and colours the stage leaves in its labels. Sizes are in the window's pixels; the files
// are kPlotReportScale times as large. `m` is the constant 0.001 handed out by
// macro::Constant.
inline constexpr int kPlotReportWidth = 537;
inline constexpr int kPlotReportHeight = 142;
inline constexpr int kPlotReportScale = 3;

// The raster picture, kPlotReportScale device pixels to the window's pixel. The captions'
// fonts need a running QGuiApplication.
QImage plotImage(const DesignState& state, const Value& m);

// The same picture as an SVG document (UTF-8): each plot a group clipped to its picture box,
// the captions as <text>.
std::string plotSvg(const DesignState& state, const Value& m);

// The bytes of the picture file. For PNG, a QGuiApplication on Qt's offscreen platform is
// created for the rendering when none is running.
std::string plotFileBytes(const DesignState& state, const Value& m, PlotFormat format);

}  // namespace fbc
