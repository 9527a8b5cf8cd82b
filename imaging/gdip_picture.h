#pragma once

#include "imaging/codecs/image_decoding.h"
#include "toolkit/graphics/graphic.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class TGPGraphics;

// The picture of the reflection image control: an image file's bytes kept
// exactly as they were read (never re-encoded), decoded to measure and draw.
// Stored in a window layout as its raw bytes ("Data").
class TGDIPPicture : public TGraphic
{
    Q_OBJECT
  public:
    explicit TGDIPPicture(QObject* Parent = nullptr);
    ~TGDIPPicture() override;

    // Fired when a file has been read and when the picture is cleared by
    // copying from nothing.
    std::function<void(TGDIPPicture* Sender)> OnClear;

    const QByteArray& EncodedData() const { return FEncodedData; }

    bool IsEmpty() const override { return FEmpty; }
    int Width() const override { return FImageWidth; }
    int Height() const override { return FImageHeight; }

    // Decodes the bytes and refreshes the cached size (0 x 0 when they cannot
    // be decoded); false when there is nothing to decode.
    bool MeasureImage();

    // The decoded pixels (Format_ARGB32, not premultiplied), decoded once per
    // change of the bytes. Null when empty or undecodable.
    const QImage& DecodedImage();

    // The colour profile and metadata of the decoded file, read from its
    // bytes while decoding as every save of a file reads them; empty when
    // there are none or the bytes do not decode.
    const TImagePackets& Packets();

    // Why the last load or decoding failed, in words; empty after a success.
    QString LastError() const { return FLastError; }

    void DrawInRect(TCanvas& Canvas, const QRect& Rect) override;
    // Natural size, alpha-blended, onto a drawing surface.
    void DrawAt(TGPGraphics& Graphics, int X, int Y);

    void CopyFrom(const TPersistent* Source) override;

    // Never reports an error: a file that cannot be read leaves the picture
    // empty (LastError says why).
    void LoadFile(const QString& FileName) override;
    // Copies the whole stream from its first byte, whatever its position.
    void LoadStream(QIODevice* Stream) override;
    void SaveStream(QIODevice* Stream) override;
    void ReadStoredData(QIODevice* Stream) override;
    void WriteStoredData(QIODevice* Stream) override;

  private:
    void SetEncodedData(const QByteArray& Data);
    // Decodes the bytes, or returns the cached decoding of the same bytes.
    const TDecodedImage* Decode();

    QByteArray FEncodedData;
    bool FEmpty = true;
    int FImageWidth = 0;
    int FImageHeight = 0;
    QString FLastError;
    std::optional<TDecodedImage> FDecoded;
};
