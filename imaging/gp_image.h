#pragma once

#include "imaging/gp_base.h"
#include "imaging/gp_raw_format.h"
#include "imaging/gp_status.h"

#include <QImage>
#include <QString>
#include <QUuid>

class QByteArray;
class QIODevice;
struct TEncoderParameters;

// A decoded image. A wrapper whose decoding failed has no image (the null
// handle); every operation on it answers with an error status.
//
// LastStatus: the constructor stores the status of its decoding, Ok included;
// every later operation returns its own status and stores it only when it is
// not Ok, so a failure stays until a later failure replaces it.
class TGPImage : public TGdiplusBase
{
  public:
    // Decodes the stream's remaining bytes. Colour management is never
    // applied; the flag is accepted for the callers that pass it.
    explicit TGPImage(QIODevice* Stream, bool UseEmbeddedColorManagement = false);
    explicit TGPImage(const QByteArray& Data, bool UseEmbeddedColorManagement = false);
    ~TGPImage() override;

    TGpStatus LastStatus() const { return FLastStatus; }
    // Why the last failure happened, in words ("image too large: 60000 × 60000").
    QString LastErrorText() const { return FLastErrorText; }
    bool IsNull() const { return FImage.isNull(); }

    // 0 when there is no image (and InvalidParameter is kept).
    unsigned QueryWidth();
    unsigned QueryHeight();

    // The identifier of the file format the image was decoded from.
    QUuid RawFormat() const { return FRawFormat; }
    ImageRawFormat RawFormatKind();

    // Encodes the image with the encoder whose class id is Encoder into
    // FileName; the file is replaced only when encoding succeeded.
    TGpStatus SaveFile(const QString& FileName, const QUuid& Encoder, const TEncoderParameters* Parameters);

    // The pixels, Format_ARGB32 (0xAARRGGBB, not premultiplied).
    const QImage& Image() const { return FImage; }

  protected:
    TGPImage() = default;
    // Stores Status when it is a failure and returns it.
    TGpStatus Keep(TGpStatus Status, const QString& Reason = QString());
    // Stores Status whatever it is: the constructors' rule.
    void Construct(TGpStatus Status, const QString& Reason = QString());
    void DecodeFrom(const QByteArray& Data);

    QImage FImage;
    QUuid FRawFormat;

  private:
    TGpStatus FLastStatus = TGpStatus::Ok;
    QString FLastErrorText;
};
