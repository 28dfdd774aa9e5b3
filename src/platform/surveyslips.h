#pragma once

#include <QImage>
#include <QString>

class TSurveyCollection;

// A QR code as a picture: one pixel per module with a quiet zone of four modules, to be drawn
// scaled without smoothing. A null image when the text cannot be encoded.
QImage QrImage(const QString& text);

// Writes the answer slips of a collection to a PDF file on A4: ten slips a page in two columns,
// each with the pupil's name, the question, the address as text and as a QR code, and the
// pupil's personal code, with dashed cut lines between them. False with a reason on failure.
bool WriteSurveySlips(const QString& path, const TSurveyCollection& collection, const QString& url,
                      QString* reason);
