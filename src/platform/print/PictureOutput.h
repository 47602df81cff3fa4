#pragma once
// The way out of every view's picture: BMP export and preview or print.
// The view makes the finished picture (a QImage); these take it from there.
#include <QImage>
#include <QRectF>

class QWidget;

// Which print-document slot keeps a viewer's document (PrintDocs.h).
enum class PrintSlot { MemWave, Wave, Record, Spare };

// Where the picture lies on the portrait Letter page (8.5 x 11 inches):
// 7.28 x 5.2 inches (the 700 : 500 picture's proportions), 2.0 inches from
// the top, 1.1 inches from the left when printed and 0.6 in the preview.
QRectF PicturePlace(bool print);

// BMP export: the save dialog ("Export File", "BitMap Files (*.bmp)|*.bmp"
// in the UI language) through the file-dialog service, then the picture
// written whole or not at all. A failure is shown with the error icon; a
// cancelled dialog writes nothing. True when a file was written.
bool ExportPictureBmp(const QImage& picture, QWidget* parent = nullptr);

// Preview (print false) or print of a picture: it is saved as the temporary
// picture "$Print.bmp" and read back, all four print-document slots are
// emptied and the new document stays in `slot`, with the picture at
// PicturePlace(print) on its one page. A temporary picture that cannot be
// saved is reported with the error icon and nothing is shown or printed (no
// page with an older picture); a print failure is shown once in a plain box.
// True when the preview was shown or the document printed (or the print
// dialog cancelled).
bool PreviewOrPrintPicture(const QImage& picture, PrintSlot slot, bool print,
                           QWidget* parent = nullptr);
