#pragma once

#include "helpbrowser/WebEngineSetup.h"

#include <QApplication>
#include <QTest>

// The main of a test that shows a web view: the web engine needs its
// settings before the application object exists.
#define VEXLON_WEB_ENGINE_TEST_MAIN(TestClass)                                                     \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        prepareWebEngine();                                                                        \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
