#pragma once
// The spreadsheet automation constants the export uses, with their published values.
enum XlLineStyle : int { xlContinuous = 1, xlNone = -4142 };
enum XlBorderWeight : int { xlHairline = 1, xlThin = 2, xlMedium = -4138, xlThick = 4 };
enum XlBordersIndex : int { xlEdgeLeft = 7, xlEdgeTop = 8, xlEdgeBottom = 9, xlEdgeRight = 10 };
