#pragma once
// A private HOME for a test program: HOME, the XDG folders and the desktop data folder point
// into a new temporary folder while the object lives, with the offscreen platform and the C
// locale, so the user's own settings and data are never touched. Make it before QApplication.
#include <string>

#include <QApplication>
#include <QTest>

class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    const std::string& Home() const { return m_home; }

private:
    std::string m_home;
};

// Forgets the registry and the data file, so the next start is a first start.
void ResetUserData();

// The main of a Qt Test program over the ui/ code: a private HOME, then the test object.
#define UI_TEST_MAIN(TestClass)                 \
    int main(int argc, char** argv) {           \
        TestEnvironment environment;            \
        QApplication application(argc, argv);   \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
