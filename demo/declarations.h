// The external functions that the form calls: the library's five and six of the graphics
// interface, each bound by file name and exported name at its first call, each typed as its
// header declares it.
#pragma once

#include <cstdint>

#include <Lorvaxen.h>
#include <windows.h>

#include "late_binding.h"

namespace mendova {

// The ten arguments of every barcode function, in the library's order.
using BarcodeFunction = LorvaxenBarcodeFunction;

namespace exported {
#ifdef _WIN32
// The library's stdcall exports carry decorated names: "_", the name, "@" and the argument bytes.
inline constexpr char kLibraryFile[] = "Lorvaxen.dll";
inline constexpr char kBarCodeJan[] = "_BarCode_JAN@52";
inline constexpr char kBarCodeCode39[] = "_BarCode_Code39@52";
inline constexpr char kBarCodeI2of5[] = "_BarCode_I2of5@52";
inline constexpr char kBarCodeNw7[] = "_BarCode_NW7@52";
inline constexpr char kVersion[] = "_Lorvaxen_version@0";
inline constexpr char kGraphicsFile[] = "gdi32.dll";
#else
inline constexpr char kLibraryFile[] = "libLorvaxen.so";
inline constexpr char kBarCodeJan[] = "BarCode_JAN";
inline constexpr char kBarCodeCode39[] = "BarCode_Code39";
inline constexpr char kBarCodeI2of5[] = "BarCode_I2of5";
inline constexpr char kBarCodeNw7[] = "BarCode_NW7";
inline constexpr char kVersion[] = "Lorvaxen_version";
inline constexpr char kGraphicsFile[] = "libgdi32.so";
#endif
} // namespace exported

namespace lorvaxen {
inline constinit LateBound<BarcodeFunction> BarCode_JAN{exported::kLibraryFile,
                                                        exported::kBarCodeJan};
inline constinit LateBound<BarcodeFunction> BarCode_Code39{exported::kLibraryFile,
                                                           exported::kBarCodeCode39};
inline constinit LateBound<BarcodeFunction> BarCode_I2of5{exported::kLibraryFile,
                                                          exported::kBarCodeI2of5};
inline constinit LateBound<BarcodeFunction> BarCode_NW7{exported::kLibraryFile,
                                                        exported::kBarCodeNw7};
inline constinit LateBound<decltype(::Lorvaxen_version)> Lorvaxen_version{exported::kLibraryFile,
                                                                          exported::kVersion};
} // namespace lorvaxen

namespace gdi32 {
inline constinit LateBound<decltype(::CreateCompatibleDC)> CreateCompatibleDC{
    exported::kGraphicsFile, "CreateCompatibleDC"};
inline constinit LateBound<decltype(::CreateCompatibleBitmap)> CreateCompatibleBitmap{
    exported::kGraphicsFile, "CreateCompatibleBitmap"};
inline constinit LateBound<decltype(::SelectObject)> SelectObject{exported::kGraphicsFile,
                                                                  "SelectObject"};
inline constinit LateBound<decltype(::BitBlt)> BitBlt{exported::kGraphicsFile, "BitBlt"};
inline constinit LateBound<decltype(::DeleteObject)> DeleteObject{exported::kGraphicsFile,
                                                                  "DeleteObject"};
inline constinit LateBound<decltype(::DeleteDC)> DeleteDC{exported::kGraphicsFile, "DeleteDC"};
} // namespace gdi32

} // namespace mendova
