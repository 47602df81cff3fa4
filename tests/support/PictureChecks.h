#pragma once
// Printed-page capture shared by the view window tests.
#include <QImage>
#include <QString>

namespace PictureChecks {
// Answers the next print requests by rendering the document to a PDF file at
// pdfPath; the first picture of the first page (if any) lands in *printed.
void PrintToPdf(const QString& pdfPath, QImage* printed);
}  // namespace PictureChecks
