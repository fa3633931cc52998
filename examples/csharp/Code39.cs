// Lorvaxen from C#: a Code 39 barcode of "abc" with its check character, every argument passed as
// README-Windows.txt declares it. It prints the version, the result code, the framed text and the
// size in pixels, then releases the bitmap and the device context.
//
// Built for Windows by default: Lorvaxen.dll under its decorated export names, and gdi32.dll; run
// a 32-bit (x86) process with the 32-bit DLL and a 64-bit one with the 64-bit DLL. Built with
// LINUX defined, it calls the Linux library and its graphics stand-in, whose functions are plain C
// under their undecorated names, and takes the reference device's resolution as its argument:
//
//   csc Code39.cs && Code39.exe
//   mcs -define:LINUX Code39.cs && mono Code39.exe 300
using System;
using System.Runtime.InteropServices;
using System.Text;

static class Lorvaxen
{
#if LINUX
    const string Library = "libLorvaxen.so.0";
    const string Graphics = "libgdi32.so.1";
    const string Code39Entry = "BarCode_Code39";
    const string VersionEntry = "Lorvaxen_version";
#else
    const string Library = "Lorvaxen.dll";
    const string Graphics = "gdi32.dll";
    const string Code39Entry = "_BarCode_Code39@52";
    const string VersionEntry = "_Lorvaxen_version@0";
#endif

    // text is a StringBuilder because Code 39 upper-cases it in place; outText's capacity (not its
    // length) is what the library may fill, and the marshaller ends its string at the first NUL.
    [DllImport(Library, EntryPoint = Code39Entry, CallingConvention = CallingConvention.StdCall,
               CharSet = CharSet.Ansi)]
    public static extern int BarCode_Code39(IntPtr hdc, out IntPtr outBitmap, StringBuilder text,
                                            ref int outWidthPx, ref int outHeightPx,
                                            StringBuilder outText, double narrowMm,
                                            double heightMm, double ratio, int checkFlag);

    [DllImport(Library, EntryPoint = VersionEntry, CallingConvention = CallingConvention.StdCall)]
    public static extern int Lorvaxen_version();

    [DllImport(Graphics)]
    public static extern bool DeleteObject(IntPtr gdiObject);

    [DllImport(Graphics)]
    public static extern bool DeleteDC(IntPtr hdc);

#if LINUX
    // The stand-in's reference device context: a device of the given resolution that can BitBlt.
    [DllImport(Graphics)]
    static extern IntPtr CreateReferenceDC(int dpiX, int dpiY, int rasterCaps);

    public static IntPtr ReferenceDevice(string[] args)
    {
        int dpi = args.Length > 0 ? int.Parse(args[0]) : 300;
        return CreateReferenceDC(dpi, dpi, 1);
    }
#else
    // A memory device context compatible with the screen: the screen's resolution.
    [DllImport(Graphics)]
    static extern IntPtr CreateCompatibleDC(IntPtr hdc);

    public static IntPtr ReferenceDevice(string[] args)
    {
        return CreateCompatibleDC(IntPtr.Zero);
    }
#endif
}

static class Program
{
    static int Main(string[] args)
    {
        IntPtr device = Lorvaxen.ReferenceDevice(args);
        if (device == IntPtr.Zero) {
            Console.Error.WriteLine("no device context");
            return 1;
        }
        var text = new StringBuilder("abc");
        var framed = new StringBuilder(text.Length + 4); // a capacity: text.Length + 4 characters
        int width = -1, height = -1;
        IntPtr bitmap;
        int result = Lorvaxen.BarCode_Code39(device, out bitmap, text, ref width, ref height,
                                             framed, 0.1, 10.0, 3.0, 1);
        Console.WriteLine("{0} {1} {2} {3} x {4}", Lorvaxen.Lorvaxen_version(), result, framed,
                          width, height);
        // The bitmap is the caller's: selected into no device context, released with DeleteObject.
        bool released = result != 0 || Lorvaxen.DeleteObject(bitmap);
        bool closed = Lorvaxen.DeleteDC(device);
        return result == 0 && released && closed && text.ToString() == "ABC" ? 0 : 1;
    }
}
