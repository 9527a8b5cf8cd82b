#pragma once

// Mixed into every class that the layout reader creates or fills: while a
// layout is being read the component is in its loading state and builds
// nothing; once every property of the layout has been applied, the reader
// calls LayoutLoaded on each component it read.
class TLayoutComponent
{
  public:
    virtual ~TLayoutComponent() = default;

    bool IsLoading() const { return Loading; }
    void BeginLoading() { Loading = true; }

    // Overrides call the inherited version first, then do their own work.
    virtual void LayoutLoaded() { Loading = false; }

  private:
    bool Loading = false;
};
