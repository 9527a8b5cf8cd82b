#pragma once

#include "toolkit/persistent.h"

#include <QRect>
#include <QString>
#include <functional>

class QIODevice;
class TCanvas;

// A graphic that keeps its own data, draws itself into a canvas rectangle and
// is stored in a window layout as one binary property named "Data" (written
// only when the graphic is not empty).
class TGraphic : public TPersistent
{
    Q_OBJECT
  public:
    using TNotify = std::function<void(TGraphic* Sender)>;

    explicit TGraphic(QObject* parent = nullptr) : TPersistent(parent) {}

    TNotify OnChange;

    virtual bool IsEmpty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) { Q_UNUSED(Value); }
    virtual void SetHeight(int Value) { Q_UNUSED(Value); }

    virtual void DrawInRect(TCanvas& Canvas, const QRect& Rect) = 0;

    // File loading opens the file and hands it to LoadStream; saving writes
    // SaveStream's bytes. Both may be overridden.
    virtual void LoadFile(const QString& FileName);
    virtual bool SaveFile(const QString& FileName);
    virtual void LoadStream(QIODevice* Stream) = 0;
    virtual void SaveStream(QIODevice* Stream) = 0;

    // The stored form: the layout reader hands over exactly the stored bytes.
    virtual void ReadStoredData(QIODevice* Stream) { LoadStream(Stream); }
    virtual void WriteStoredData(QIODevice* Stream) { SaveStream(Stream); }

  protected:
    void Changed()
    {
        if (OnChange)
            OnChange(this);
    }
};
