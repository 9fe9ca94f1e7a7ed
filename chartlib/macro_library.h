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
void Color(Value& ClrBla, Value& ClrBlu, Value& ClrGre, Value& ClrSia, Value& ClrRed, Value& ClrMaz,
           Value& ClrYel, Value& ClrWhi, Value& ClrGra, Value& ClrBluh, Value& ClrGreH,
           Value& ClrSiaH, Value& ClrRedh, Value& ClrMazH, Value& ClrYelH, Value& ClrWhiH);
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

// ---- Other linear grids -----------------------------------------------------------------
// Scale W x H, ten divisions each way, zero line at half height; bare-number labels, captions.
void Grid05(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname);
// As Grid05 with Xnum lines up the height and Ynum across; labels "0" and "0.00E+00".
void Grid05B(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname,
             Value& Xnum, Value& Ynum);
// As Grid05B, lines only.
void Grid05N(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xnum, Value& Ynum);
// Scale W x H, ten divisions each way, zero line on the bottom edge; bare-number labels.
void Grid00(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname);
// As Grid00 with Xnum lines up the height and Ynum across; labels "0.0" and "0".
void Grid00B(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname,
             Value& Xnum, Value& Ynum);
// DrawWidth 1, Ynum divisions up, Xnum across; "[H/Ynum  /div]" and "[..μsec/div]" captions.
void Grid00C(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xnum, Value& Ynum);
// Height H x (Ynum + 1) / Ynum ruled every H / (Ynum + 1) from the bottom; no vertical lines.
void Grid01D(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& Xname, Value& Yname,
             Value& Xnum, Value& Ynum);

// ---- Logarithmic grids ------------------------------------------------------------------
// ScaleWidth in decades from xmin to xmax; decade labels, grey sub-divisions, black decades.
void GridlogW(Value& Pic_name, Value& xmin, Value& xmax);
// ScaleHeight in decades from ymin (bottom) to ymax (top), plus the decade above ymax.
void GridlogH(Value& Pic_name, Value& ymin, Value& ymax);

// ---- Line plots -------------------------------------------------------------------------
// Segment (X_1, Y_1)-(X, Y) with the zero at half height; X_1, Y_1 = X, Y; DrawWidth 1 after.
void PlotLine05(Value& Pic_name, Value& X_1, Value& Y_1, Value& X, Value& Y, Value& Xofset,
                Value& Yofset, Value& Scale_H, Value& Color, Value& Width);
// As PlotLine05 with the zero on the bottom line.
void PlotLine00(Value& Pic_name, Value& X_1, Value& Y_1, Value& X, Value& Y, Value& Xofset,
                Value& Yofset, Value& Scale_H, Value& Color, Value& Width);
// Sets the scale to the decades xmin..xmax by ymin..ymax and draws the segment on it.
void PlotlogLine0(Value& Pic_name, Value& X_1, Value& Y_1, Value& X, Value& Y, Value& xmin,
                  Value& xmax, Value& ymin, Value& ymax, Value& Color, Value& Width);

// ---- Picture helpers --------------------------------------------------------------------
// Vertical line at X over the whole height in palette colour Color.
void LineH(Value& Pic_name, Value& X, Value& Color);
// Returns the extents in Scale_W, Scale_H; prints Drwdata at (X_par, Y_par) of the surface.
void DrwPic(Value& Pic_name, Value& Scale_W, Value& Scale_H, Value& X_par, Value& Y_par,
            Value& Drwdata);
// Prints Drwdata at the fraction X_par of the width, Y_par of the height from the bottom.
void DrwPic2(Value& Pic_name, Value& X_par, Value& Y_par, Value& Drwdata);
// Drwdata = Drwdata formatted with Frmat; prints Name and it at (X_par, Y_par).
void DrwPic3(Value& Pic_name, Value& X_par, Value& Y_par, Value& Name, Value& Drwdata,
             Value& Frmat);
// As DrwPic3 after setting the font size to Size; Color is not used.
void DrwPic4(Value& Pic_name, Value& X_par, Value& Y_par, Value& Name, Value& Drwdata, Value& Frmat,
             Value& Color, Value& Size);
// Caption "Clear" becomes "Plot" and the surface is erased; any other caption becomes "Clear".
void CrickCls(Value& Pic_name, Value& Command1, Value& Plot, Value& Clear);
// text of Textname = "------" titlea "------" CRLF Textdata "END" CRLF.
void PrintText(Value& Textname, Value& titlea, Value& Textdata);

// ---- Record files -----------------------------------------------------------------------
// Textdata = Na1 "=" An1 Div1 CRLF Na2 "=" An2 Div2 CRLF.
void Textdata(Value& Textdata, Value& Na1, Value& An1, Value& Div1, Value& Na2, Value& An2,
              Value& Div2);
// Loads records of 3 fields of file `filename` into element r of data1..data3; datanum = count.
void fileoutput3(Value& filename, Value& data1, Value& data2, Value& data3, Value& datanum);
// As fileoutput3 with 7 fields per record.
void fileoutput7(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                 Value& data5, Value& data6, Value& data7, Value& datanum);
// As fileoutput3 with 8 fields per record.
void fileoutput8(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                 Value& data5, Value& data6, Value& data7, Value& data8, Value& datanum);
// As fileoutput3 with 12 fields per record.
void fileoutput12(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                  Value& data5, Value& data6, Value& data7, Value& data8, Value& data9,
                  Value& data10, Value& data11, Value& data12, Value& datanum);
// Appends the line data1,...,data8 CRLF (texts that would not read back go in quotes).
void filewright8(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                 Value& data5, Value& data6, Value& data7, Value& data8);
// As filewright8 with 12 fields.
void filewright12(Value& filename, Value& data1, Value& data2, Value& data3, Value& data4,
                  Value& data5, Value& data6, Value& data7, Value& data8, Value& data9,
                  Value& data10, Value& data11, Value& data12);

// ---- Label and control helpers ----------------------------------------------------------
// Appends records max(1, datanum - dataviewnum)..datanum of the seven columns to lblview.
void viewlbl7(Value& lblview, Value& dataviewnum, Value& Zuban, Value& Time, Value& Tantou,
              Value& Custamer, Value& Kou1, Value& Kou2, Value& bikou, Value& datanum);
// Scroll bar 60 (top) to 0; Output = E12 (or E24-only when Series = 24) value, 10 to 1000000.
void Sel_Reg(Value& Series, Value& vsb_name, Value& Output);
// Scroll bar Minvlaue..Maxvalue, step 1; clamps txt_name into the range; Output = txt_name.
void txtvsb0(Value& txt_name, Value& vsb_name, Value& Maxvalue, Value& Minvlaue, Value& Output);
// Scroll bar Minvlaue..Maxvalue, step Change; clamps Output in place.
void txtvsb1(Value& vsb_name, Value& Maxvalue, Value& Minvlaue, Value& Change, Value& Output);
// Reads the number pairs of "IPM_VI2.txt" in the current folder; file, filenum not used.
void Seledata(Value& file, Value& filenum);
// As Seledata; y1, y2 = ordinates interpolated at q1, q2 between consecutive pairs x0 < q <= x1
// (the last such pair wins), empty when no pair brackets the query.
void SeledataLookup(Value& file, Value& filenum, Value& q1, Value& q2, Value& y1, Value& y2);

// ---- Signal helpers ---------------------------------------------------------------------
// d_Idt += Iin_t^2 * T_step; Irms = sqrt(d_Idt / T_max). T_min is not used.
void Rms(Value& Iin_t, Value& Irms, Value& T_step, Value& T_min, Value& T_max, Value& d_Idt);
// SinU, SinV, SinW = Ampl * sin(w t), sin(w t - 2 pi / 3), sin(w t + 2 pi / 3).
void SinUVW(Value& w, Value& t, Value& SinU, Value& SinV, Value& SinW, Value& pi, Value& Ampl);
// Scale_H1 = mul x the first of 0.5, 1, 5, 10, 20, 40, 50, 100, 250 above i, else 500.
void DivScale(Value& i, Value& Scale_H1, Value& mul);

// ---- Japanese text normalisation --------------------------------------------------------
// Half-width katakana to full-width, sound marks merged into the letter before them.
void KatakanaZen(Value& text);
// Dash-like characters become "-" after a digit, "ー" elsewhere.
void HaifunHan(Value& text);
// "," and "，" become "、".
void KanmaZen(Value& text);
// data = Inputdata when data equals a or B.
void Henkou(Value& data, Value& a, Value& B, Value& Inputdata);

}  // namespace fbc::macro
