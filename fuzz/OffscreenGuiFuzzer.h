#pragma once

#include <QGuiApplication>

// libFuzzer's start-up for the fuzzers that need a GUI application: metafile text needs fonts,
// fonts and image plugins need the application. It runs offscreen; no window is ever shown.
// Each fuzzer is a program of one source file, which includes this once.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}
