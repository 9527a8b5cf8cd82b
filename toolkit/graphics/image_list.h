#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <functional>

class TBitmap;
class TCanvas;

// A list of equally sized pictures drawn by index (the markup's "IDX:" n
// pictures). Pictures keep their alpha and are blended when drawn. Changing
// the picture size empties the list, as the toolkit's image lists do.
class TImageList : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
  public:
    using TNotify = std::function<void(TImageList* Sender)>;

    explicit TImageList(QObject* parent = nullptr);

    int Count() const { return int(FImages.size()); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int NewWidth, int NewHeight);

    // Adds Image, scaled to the list's size when it differs; a strip whose
    // height is the list's and whose width is a multiple of it adds one
    // picture per cell. Returns the index of the first picture added, or -1
    // for a null image.
    int Add(const QImage& Image);
    void Delete(int Index);
    void Clear();
    // The picture at Index, or a null image when Index is out of range.
    QImage Image(int Index) const;

    // Draws picture Index blended at (X, Y); nothing for an index out of range.
    void Draw(TCanvas& Canvas, int X, int Y, int Index) const;
    // Makes Bitmap a copy of picture Index (empty for an index out of range).
    void GetBitmap(int Index, TBitmap* Bitmap) const;

    TNotify OnChange;

  private:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }

    int FWidth = 16;
    int FHeight = 16;
    QList<QImage> FImages;
};
