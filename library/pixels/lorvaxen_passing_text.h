// JAN and Interleaved 2 of 5 declare their text const, since they never write it. A client that
// holds all four barcode functions as the one type LorvaxenBarcodeFunction takes these two by way
// of passingText<BarCode_JAN> and passingText<BarCode_I2of5>, which only pass the text on.
#pragma once

#include <cstdint>

#include <Lorvaxen.h>

namespace lorvaxen {

template <auto Function>
int32_t LORVAXEN_CALL passingText(HDC hdc, HBITMAP* bitmap, char* text, int32_t* widthPx,
                                  int32_t* heightPx, char* framed, double narrowMm, double heightMm,
                                  double ratio, int32_t checkFlag)
{
    return Function(hdc, bitmap, text, widthPx, heightPx, framed, narrowMm, heightMm, ratio,
                    checkFlag);
}

} // namespace lorvaxen
