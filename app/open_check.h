#pragma once

#include <QString>
#include <memory>

class QImage;
class TGDIPPicture;

// A picture read and decoded away from the window, so that a file that
// cannot be shown never replaces the one on screen.
struct TCheckedPicture {
    std::unique_ptr<TGDIPPicture> Picture; // set when the file decoded
    QString Reason;                        // why not, otherwise; with a picture: its damage
};

// Reads FileName whole and decodes it. A missing, unreadable, empty,
// truncated or undecodable file gives no picture and a reason in words.
TCheckedPicture CheckedPictureFromFile(const QString& FileName);

// The same for pixels that arrive without a file (pasted or dropped image
// data): they are kept as a lossless PNG file's bytes.
TCheckedPicture CheckedPictureFromImage(const QImage& Image);
