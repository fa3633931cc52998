// The library's C++ interface: everything a label takes, in namespace lorvaxen, for the tool and
// any other client. Nothing here throws across it: a text that is not taken comes back as a
// Refusal, anything else that goes wrong as a problem in words.
//
//     lorvaxen::LabelSettings settings;
//     settings.barcode.symbology = lorvaxen::findSymbology("itf14");
//     const lorvaxen::MadeLabel made = lorvaxen::makeLabel("1490123456789", settings);
//     if (const auto refusal = made.refusal()) { /* refusal->message */ }
//     const auto png = lorvaxen::imageBytes(made.label, lorvaxen::ImageFormat::Png);
//     const lorvaxen::GradedImage graded = lorvaxen::verifyBytes(*png, {});
//
// In layers, each usable alone:
// - the library's symbols: `encode` a text into its framed text and element pattern, and `render`
//   it into a bitmap (<lorvaxen/symbols.h>), the code the C functions run;
// - every label rule (check digits, UPC-A, ITF-14, NW7 and Codabar's starts and stops, whole-dot
//   modules and ratios, heights that keep the text clear of the bars): `makeBarcode`;
// - the label's layout (light margins, text, bearer bars, turn, colours, bar width reduction):
//   `makeLabel`;
// - the writers of every format, to an open file or to memory: `writeImage`, `imageBytes`;
// - labels laid out on the pages of one PDF, a sheet's cells or a roll's pages: `LabelPages`;
// - grading an image in a file or in memory, with advice: `verifyFile`, `verifyBytes`, and the
//   reports `reportText`, `reportJson`, `writeReportPage` and `writeProfilePlot`.
#pragma once

#include <lorvaxen/symbols.h>

#include "barcode.h"
#include "formats.h"
#include "label_pages.h"
#include "make_label.h"
#include "verify_label.h"
#include "verify_page.h"
#include "verify_plot.h"
#include "verify_text.h"
