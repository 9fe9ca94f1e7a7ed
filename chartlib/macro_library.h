#pragma once

// The drawing and utility library `Macro`. Every procedure has no result and takes all its
// arguments by reference as dynamically typed values, in the documented order; results come
// back through the arguments. Faults surface as fbc::RuntimeError carrying the platform's
// error number. The library keeps no state between calls.

#include "platform/value.h"

namespace fbc::macro {

// ---- Constants, colours and value helpers ----------------------------------------------
// pi = 3.141592654 (double), Meg = 1000000 (32-bit), k = 1000 (16-bit), m = 0.001,
// u = 0.000001, n = 0.000000001 (doubles).
void Constant(Value& pi, Value& Meg, Value& k, Value& m, Value& u, Value& n);
// Writes the colour indices 0..15 (16-bit) into the sixteen parameters, in order.
void Color(Value& ClrBla, Value& ClrBlu, Value& ClrGre, Value& ClrSia, Value& ClrRed,
           Value& ClrMaz, Value& ClrYel, Value& ClrWhi, Value& ClrGra, Value& ClrBluh,
           Value& ClrGreH, Value& ClrSiaH, Value& ClrRedh, Value& ClrMazH, Value& ClrYelH,
           Value& ClrWhiH);
// B = a x 2, C = a x 3 in the arithmetic of dynamically typed values.
void mul(Value& a, Value& B, Value& C);
// MaxX = copy of X when MaxX <= X (running maximum).
void Max(Value& X, Value& MaxX);
// Clamps X in place: upper bound tested first, both tests include equality.
void Limit(Value& X, Value& MaxX, Value& MinX);

// ---- Oscilloscope grid ------------------------------------------------------------------
// Scale Scale_W x 1.1*Scale_H, grey division lines, a blue ground line, "[..μsec/div]", "Gnd".
void Grid00C2(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xnum, Value& Ynum);

// ---- Point plots ------------------------------------------------------------------------
// One dot at (X + Xofset, Scale_H - (Y + Yofset)) in palette colour Color.
void Plot00(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
            Value& Color);
// One dot with the zero at half height: y = 0.5*Scale_H - (Y + Yofset).
void Plot05(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
            Value& Color);
// As Plot00 with DrawWidth = Width first (left at Width afterwards).
void Plot00B(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
             Value& Color, Value& Width);
// As Plot05 with DrawWidth = Width first, set back to 1 afterwards.
void Plot05B(Value& Pic_name, Value& X, Value& Y, Value& Xofset, Value& Yofset, Value& Scale_H,
             Value& Color, Value& Width);

}  // namespace fbc::macro
