#pragma once

// Starts the one QGuiApplication (offscreen) that Qt's image readers and
// fonts need; fuzz targets call it from LLVMFuzzerInitialize.
void StartFuzzApplication(int* argc, char*** argv);
