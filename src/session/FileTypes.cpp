#include "session/FileTypes.h"

const std::array<FileType, FileTypeCount> FileTypes { {
    { "chkART", ".ART", "PFS First Publisher" },
    { "chkBMP", ".BMP", "Microsoft Windows and OS2 bitmaps" },
    { "chkCUT", ".CUT", "Dr. Halo" },
    { "chkDIB", ".DIB", "Microsoft Windows Device Independent Bitmaps" },
    { "chkGEM", ".GEM", "GEM Raster files (Digital Research)" },
    { "chkGIF", ".GIF", "Compuserve Graphics Interchange Format" },
    { "chkHRZ", ".HRZ", "Slow Scan Television" },
    { "chkIFF", ".IFF", "Interchange File Format (Amiga Electronic Arts Deluxe Paint)" },
    { "chkIMG", ".IMG", "GEM Raster files (Digital Research)" },
    { "chkJPG", ".JPG", "Joint Photographics Experts Group" },
    { "chkLBM", ".LBM", "Interchange File Format (Amiga Electronic Arts Deluxe Paint)" },
    { "chkMAC", ".MAC", "Macintosh Paint" },
    { "chkMSP", ".MSP", "Microsoft Paint" },
    { "chkPCX", ".PCX", "ZSoft PC Paintbrush" },
    { "chkPIC", ".PIC", "Pictor PC Paint" },
    { "chkPNG", ".PNG", "Portable Network Graphics" },
    { "chkRAS", ".RAS", "Sun Raster files" },
    { "chkRLE", ".RLE", "Run-length Encoded BMP files" },
    { "chkTGA", ".TGA", "Targa TrueVision Files" },
    { "chkTIF", ".TIF", "Tagged Image File Format (PC or Mac)" },
    { "chkWMF", ".WMF", "Windows Meta-files" },
    { "chkWPG", ".WPG", "Word Perfect Graphics" },
    { "chkCUR", ".CUR", "Microsoft Windows Cursor" },
    { "chkICO", ".ICO", "Microsoft Windows ICON" },
} };

QString fileTypeCaption(const FileType& type)
{
    return QString::fromLatin1(type.extension).toLower();
}
