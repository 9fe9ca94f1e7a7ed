#pragma once

namespace fbc {

// Where the window places the two plots and the captions the waveform stage writes, in twips
// (1/1440 inch). The window lays its controls out from these, and the picture export places
// the plots and captions as the window does.
struct Placement {
  int left;
  int top;
  int width;
  int height;
};

// 15 twips to the pixel at 96 dpi, rounded to the nearest pixel; Qt scales the pixels on
// high-DPI screens.
constexpr int pixels(int twips) { return (twips + 7) / 15; }

inline constexpr Placement kPic1Placement{600, 4440, 3855, 1215};
inline constexpr Placement kPic2Placement{4560, 4440, 3735, 1215};
inline constexpr Placement kLbldiv1Placement{600, 5760, 3855, 255};
inline constexpr Placement kLbldiv2Placement{4680, 5760, 3735, 495};
// The frequency caption; in the window it lies hidden beneath Pic1.
inline constexpr Placement kLblpic1_1Placement{840, 5280, 3375, 255};

}  // namespace fbc
