#pragma once

// Root of the imaging wrappers. A wrapper owns one image or drawing surface,
// so wrappers are neither copied nor moved.
class TGdiplusBase
{
  public:
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
    virtual ~TGdiplusBase() = default;

  protected:
    TGdiplusBase() = default;
};
