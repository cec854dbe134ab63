#pragma once

#include <QtTest>

#include "ui/zentrivo_application.h"

// Window tests run under the program's own application object, so an error
// that escapes a handler is reported the way the program reports it.
#define ZENTRIVO_TEST_MAIN(TestObject)          \
    int main(int argc, char** argv) {           \
        ZentrivoApplication app(argc, argv);    \
        TestObject test;                        \
        return QTest::qExec(&test, argc, argv); \
    }
