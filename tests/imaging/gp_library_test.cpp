#include "imaging/imaging_library.h"

#include <QImageReader>
#include <gtest/gtest.h>

TEST(ImagingLibrary, StartFindsEveryNeededFormatAndStopEndsIt)
{
    const TImagingStartup startup = TImagingLibrary::Start();
    EXPECT_EQ(startup.Status, TGpStatus::Ok) << startup.MissingReaders.join(',').toStdString();
    EXPECT_TRUE(startup.MissingReaders.isEmpty());
    EXPECT_NE(startup.Token, 0u);
    EXPECT_TRUE(TImagingLibrary::IsStarted());
    TImagingLibrary::Stop(startup.Token + 1); // someone else's token changes nothing
    EXPECT_TRUE(TImagingLibrary::IsStarted());
    TImagingLibrary::Stop(startup.Token);
    EXPECT_FALSE(TImagingLibrary::IsStarted());
}
